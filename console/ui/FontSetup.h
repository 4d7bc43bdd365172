#pragma once
// The console's forms name the fonts of their original platform. This maps each to a
// font that Debian ships, so every text keeps its intended look and size.

namespace zox::skin {

// "Tahoma" -> DejaVu Sans, "Arial" -> Liberation Sans, "微软雅黑" -> Noto Sans CJK SC,
// "宋体" -> Noto Serif CJK SC. Call once after the application object exists and
// before the first window is built.
void InstallFontSubstitutions();

} // namespace zox::skin
