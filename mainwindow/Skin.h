#pragma once

#include <QColor>
#include <QIcon>
#include <QStringView>

class QApplication;
class QPalette;

// The program's one skin, "Opus": the Fusion style, a warm light palette and a short style sheet
// from the resources, plus the program's icons.
namespace Skin {

// The colour of the menu and tool bars' empty part, also their items' highlight.
inline constexpr QColor BarHighlight{247, 246, 238};
// Text in edit fields and lists.
inline constexpr QColor EditText{65, 65, 65};
// The light warm grey behind every window.
inline constexpr QColor WindowFace{236, 234, 228};
// The muted blue-grey of selections and focus frames.
inline constexpr QColor Accent{95, 118, 144};

// Sets the style, palette, style sheet and font of the whole program.
void applyOpus(QApplication &app);

// The palette of the skin, without touching the application.
QPalette opusPalette();

// One of the program's icons by its file name without extension ("person", "group", "door",
// "plus", "scanner", "cross", "printer", "calendar", "close", "kelvora"). A null icon when there
// is no such picture.
QIcon icon(QStringView name);

// The icon painted from an SVG file at the sizes the program uses; what icon() falls back to
// when Qt's SVG icon engine is not installed.
QIcon iconFromSvg(const QString &fileName);

} // namespace Skin
