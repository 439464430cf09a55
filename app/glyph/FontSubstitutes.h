#pragma once

namespace orvane {

// The window asks for the Chinese system faces by their names ("黑体", "宋体", "楷体_GB2312").
// They resolve to the free faces installed here, while the controls keep the names they ask
// for; the glyph surface draws those faces from the line box of the faces they stand for.
// Safe to call more than once.
void InstallFontSubstitutes();

} // namespace orvane
