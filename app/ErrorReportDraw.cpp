#include "app/ErrorReport.h"

// The compositor's background layer does not exist in this build yet, so there is nothing to draw on;
// the report still logs and stops the game.
bool DrawErrorReport(const char*, const char*, const char*) {
    return false;
}
