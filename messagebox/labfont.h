#pragma once

#include <QString>

// The font both programs write in. A lab writes "600℃·d", "m³" and "①": a font must draw every
// one of them, and a font's character set can list a character it draws as nothing (WenQuanYi
// Micro Hei's "℃"). On Linux the first Chinese font that draws them all, by ink on a page, becomes
// the programs' font; Windows keeps its system font.
namespace LabFont {

// The characters a lab writes beside Chinese text.
QString labSymbols();

// Whether family draws every character of text with ink of its own (no other font merged in).
bool drawsAll(const QString &family, const QString &text);

// Makes the application's font one that draws the lab's symbols, where the present one does not
// and one that does is installed. Returns the family in use afterwards. After QApplication.
QString apply();

} // namespace LabFont
