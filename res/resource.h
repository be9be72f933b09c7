// Resource numbers of the program: dialog templates, strings and the application icon.
#pragma once

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDD_TAVREL_DIALOG = 102;
inline constexpr int IDR_MAINFRAME = 141;
