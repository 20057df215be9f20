#pragma once

// How a grid row of a settings tab lays out its items.
struct GridSettings {
    int horizontalSpacing = 0;
    int verticalSpacing = 0;
    int alignment = 0;  // Qt alignment flags
    int columns = 0;    // 0 or less: all items in one row
    int horizontalMargin = 0; // left and right
    int verticalMargin = 0;   // top and bottom
    int labelTopMargin = 0;

    static GridSettings checkBoxGroup() { return {30, 6, 33, 2, 16, 0, 3}; }
    static GridSettings gridRadioGroup() { return {30, 6, 33, 2, 16, 0, 4}; }
    static GridSettings labelledImageRow() { return {24, 14, 33, 0, 15, 7, 15}; }
    static GridSettings unlabelledImageRow() { return {27, 0, 36, 0, 78, 16, 15}; }
};
