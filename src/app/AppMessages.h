#pragma once
// Message numbers of the main window. They name signals and handlers rather than window
// messages; each signal and handler keeps its number so that every sender and handler of
// one message can be found by it.

#include "driver/ConvertNotify.h"  // WM_LIST_ITEM_EVENT (1127), WM_CONVERT_NOTIFY (1128)

constexpr int WM_PREVIEW_WHEEL = WM_USER_BASE + 1001;  // 2025: wheel delta to scroll the preview
constexpr int WM_PREVIEW_ARROW = WM_USER_BASE + 106;   // 1130: arrow key scrolls the preview

// Causes carried by WM_LIST_ITEM_EVENT (its lParam).
enum EListEventCause : int {
  LIST_EVENT_MENU_ONE = -1,    // the context menu opens while one row is selected
  LIST_EVENT_FIRST_COLUMN = 0, // click on the number and icon; "Input Password"
  LIST_EVENT_NAME_COLUMN = 1,
  LIST_EVENT_MENU_MANY = 2,    // the context menu opens while several rows are selected
  LIST_EVENT_SELECTED = 3,     // a click on the pages column, or a row selected by the program
  LIST_EVENT_STATUS_COLUMN = 4,
};
