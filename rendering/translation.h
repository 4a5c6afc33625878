#pragma once

namespace rendering {

// Loads Qt's own Simplified-Chinese texts, so that standard buttons and file
// dialogs read 确定, 取消, 是, 否 whatever the system's language. Both
// programs call it at their start. A missing translation leaves them as they
// are; calling it again changes nothing.
void loadQtChineseTexts();

} // namespace rendering
