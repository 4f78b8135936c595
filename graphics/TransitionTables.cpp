#include "graphics/TransitionTables.h"

// The ordinary row (20, 2, 20, 8) is a soft wipe: level +2 every 20 ms, each started pixel +8 alpha
// every 20 ms.
// Effects 4 and 11 are hard-edged sweeps: every pixel finishes on the alpha step that starts it.
const LONG EffectTimingTable[kEffectCount][4] = {
    {0, 0, 0, 0},     // 0
    {0, 0, 20, 8},    // 1
    {25, 0, 0, 0},    // 2
    {0, 0, 0, 0},     // 3
    {20, 16, 1, 256}, // 4
    {20, 4, 20, 8},   // 5
    {20, 2, 20, 8},   // 6
    {20, 2, 20, 8},   // 7
    {20, 2, 20, 8},   // 8
    {20, 2, 20, 8},   // 9
    {20, 2, 20, 8},   // 10
    {20, 16, 1, 256}, // 11
    {20, 2, 20, 8},   // 12
    {20, 2, 20, 8},   // 13
    {20, 2, 20, 8},   // 14
    {20, 2, 20, 8},   // 15
    {20, 2, 20, 8},   // 16
    {20, 2, 20, 8},   // 17
    {20, 2, 20, 8},   // 18
    {20, 2, 20, 8},   // 19
    {20, 2, 20, 8},   // 20
    {20, 2, 20, 8},   // 21
    {20, 2, 20, 8},   // 22
    {20, 2, 20, 8},   // 23
    {20, 2, 20, 8},   // 24
    {20, 2, 20, 8},   // 25
    {20, 2, 20, 8},   // 26
    {20, 2, 20, 8},   // 27
    {20, 2, 20, 8},   // 28
    {20, 2, 20, 8},   // 29
    {20, 2, 20, 8},   // 30
    {20, 2, 20, 8},   // 31
    {20, 2, 20, 8},   // 32
    {20, 2, 20, 8},   // 33
    {20, 2, 20, 8},   // 34
    {20, 2, 20, 8},   // 35
    {20, 2, 20, 8},   // 36
    {20, 2, 20, 8},   // 37
    {20, 2, 20, 8},   // 38
    {20, 2, 20, 8},   // 39
    {20, 2, 20, 8},   // 40
    {20, 2, 20, 8},   // 41
    {20, 2, 20, 8},   // 42
    {20, 2, 20, 8},   // 43
    {20, 2, 20, 8},   // 44
    {20, 2, 20, 8},   // 45
    {20, 2, 20, 8},   // 46
    {20, 4, 20, 32},  // 47
    {20, 2, 20, 8},   // 48
    {20, 2, 20, 8},   // 49
    {20, 4, 20, 24},  // 50
    {20, 3, 20, 16},  // 51
    {20, 2, 20, 8},   // 52
    {20, 2, 20, 8},   // 53
    {20, 2, 20, 8},   // 54
    {20, 2, 20, 8},   // 55
    {20, 2, 20, 8},   // 56
    {20, 2, 20, 8},   // 57
    {20, 2, 20, 8},   // 58
    {20, 2, 20, 8},   // 59
    {20, 2, 20, 8},   // 60
    {20, 2, 20, 8},   // 61
    {20, 2, 20, 8},   // 62
    {20, 2, 20, 8},   // 63
    {20, 2, 20, 8},   // 64
    {20, 2, 20, 8},   // 65
    {20, 2, 20, 8},   // 66
    {20, 2, 20, 8},   // 67
    {20, 2, 20, 8},   // 68
    {20, 2, 20, 8},   // 69
    {20, 2, 20, 8},   // 70
    {20, 2, 20, 8},   // 71
};

const EffectMaskName EffectMaskNames[] = {
    {0, nullptr},
    {1, nullptr},
    {2, nullptr},
    {3, nullptr},
    {4, "top_to_bottom"},
    {5, "t_to_b_blind"},
    {6, "t_to_b_blind_s"},
    {7, "t_to_b_blind_s2"},
    {8, "t_to_b_blind_m"},
    {9, "t_to_b_blind_m2"},
    {10, "t_to_b_blind_l"},
    {11, "bottom_to_top"},
    {12, "b_to_t_blind"},
    {13, "b_to_t_blind_s"},
    {14, "b_to_t_blind_s2"},
    {15, "b_to_t_blind_m"},
    {16, "b_to_t_blind_m2"},
    {17, "b_to_t_blind_l"},
    {18, "right_to_left"},
    {19, "left_to_right"},
    {20, "l_to_r_blind"},
    {21, "l_to_r_blind_s"},
    {22, "l_to_r_blind"}, // the same mask as effect 20
    {23, "l_to_r_blind_s3"},
    {24, "l_to_r_blind_m"},
    {25, "l_to_r_blind_m2"},
    {26, "l_to_r_blind_l"},
    {27, "l_to_r_dia"},
    {28, "l_to_r_dia_s"},
    {29, "lt_to_rb_dia"},
    {30, "lt_to_rb_dia_s"},
    {31, "l_to_r_pipe"},
    {32, "lt_to_rb_blind"},
    {33, "lt_to_rb_ell"},
    {34, "lb_to_rt"},
    {35, "c_to_s_blind"},
    {36, "center_in"},
    {37, "center_out"},
    {38, "mesh"},
    {39, "mesh_2"},
    {40, "left_rotation"},
    {41, "left_rotat_s"},
    {42, "right_rotation"},
    {43, "checker"},
    {44, "tilt_checker"},
    {45, "mosaic"},
    {46, "mosaic_2"},
    {47, "random"},
    {48, "right_spiral"},
    {49, "wave"},
    {50, "right_radial"},
    {51, "lens"},
    {52, "tuvela_1a"},
    {53, "tuvela_1b"},
    {54, "tuvela_2a"},
    {55, "tuvela_2b"},
    {56, "tuvela_3a"},
    {57, "tuvela_3b"},
    {58, "tuvela_4a"},
    {59, "tuvela_4b"},
    {60, "tuvela_5a"},
    {61, "tuvela_5b"},
    {62, "tuvela_6a"},
    {63, "tuvela_6b"},
    {64, "tuvela_7a"},
    {65, "tuvela_7b"},
    {66, "tuvela_8a"},
    {67, "tuvela_8b"},
    {68, "tuvela_test"},
    {69, "tuvela_test2"},
    {70, "tuvela_new"},
    {71, "tuvela_new2"},
    {kEffectCount, nullptr},
};

const char* FindEffectMaskName(LONG effect) {
    const EffectMaskName* pair = EffectMaskNames;
    while (pair->effect != effect && pair->effect != kEffectCount)
        ++pair;
    return pair->name;
}

const CellPosition DitherOrder[16] = {{0, 0}, {2, 1}, {0, 2}, {2, 3}, {1, 0}, {3, 1}, {1, 2}, {3, 3},
                                      {2, 0}, {0, 1}, {2, 2}, {0, 3}, {3, 0}, {1, 1}, {3, 2}, {1, 3}};

const ShakeOffset ShakeOffsets[8] = {{-3, 3}, {0, -8},   {3, -6},  {-14, -14},
                                     {5, 11}, {-8, -16}, {-4, -6}, {1, -16}};
