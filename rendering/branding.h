#pragma once

class QString;
class QUrl;

// The program's title and its maker, as every window shows and links them.
namespace rendering {

// The title of the program's message boxes (all but the strike-count
// window's input error).
QString programTitle();

QString makerName();
QString makerHost();
QUrl makerAddress();
// The tool tip of the links to the maker's site.
QString linkToolTip();

// Asks the desktop to open the maker's address; the outcome is not looked at.
void openMakerSite();

} // namespace rendering
