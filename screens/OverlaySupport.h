// What the overlay panels share: handing their dirty rectangle on, their interface sounds, and the
// hover and pressed art of their push buttons. One part of an art layer shows the button under the
// pointer, hovered or held down, and "Se000" sounds when the pointer comes onto a button, so that a key
// that simulates the pointer at a button's corner gives the same picture and sound as the mouse.
#pragma once

#include "platform/base.h"

class CHitArea;
class CLayer;
class CUpdateRect;

// The flush every screen does once a frame: the rectangle into the update region, then emptied.
void FlushToUpdateRegion(CUpdateRect* rect);
// A one-shot sound effect, or a system voice, by name; nothing without a sound manager.
void PlayInterfaceSE(const char* name);
void PlayInterfaceVoice(const char* name);

struct PushButtonTable {
    const RECT* regions; // the owner's hit table
    int firstButton;     // regions firstButton to firstButton + buttonCount - 1 are the buttons
    int buttonCount;
    const RECT* hoverArt; // one a button, in the art sheet
    const RECT* pressedArt;
    int part; // the part of the art layer that shows them
};

class CPushButtonArt {
  public:
    explicit CPushButtonArt(const PushButtonTable& table) : m_Table(table) {}

    // Each runs the owner's CHitArea step of the same name, then shows the art for the hover and
    // current region it leaves; the buttons' rectangle goes into `dirty`. A release with no press
    // before it is ignored (false): it would repeat the owner's last click.
    void OnMouseMove(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty);
    void OnLButtonDown(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty);
    bool OnLButtonUp(CHitArea& hit, int x, int y, CLayer* art, CUpdateRect* dirty);
    // Takes the button art away (a key moved the focus off the buttons).
    void Clear(CLayer* art, CUpdateRect* dirty);

    bool IsButton(int region) const {
        return region >= m_Table.firstButton && region < m_Table.firstButton + m_Table.buttonCount;
    }
    // Where keys put the simulated pointer: the region's top-left corner.
    POINT Corner(int region) const {
        return POINT{m_Table.regions[region].left, m_Table.regions[region].top};
    }

  private:
    void Show(const RECT* artTable, int region, CLayer* art);
    void MarkButtons(CUpdateRect* dirty) const;

    PushButtonTable m_Table;
    int m_LastHover = -1;
    int m_LastPressed = -1;
};
