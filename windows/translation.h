#pragma once

namespace windows {

// Loads Qt's own Simplified-Chinese texts, so that standard buttons read
// 确定, 是, 否. A missing translation leaves them as they are; calling it
// again changes nothing.
void loadQtChineseTexts();

} // namespace windows
