#pragma once

#include <QString>

struct sqlite3;

// The collation Chinese_PRC_CI_AS as the company databases have it on the
// server, for the embedded engine: letter case, character width ("ＡＢＣ" is
// "abc") and trailing blanks do not count; Chinese sorts by pinyin after
// digits and letters, symbols before digits; and, as in every Windows
// collation, "-" and "'" do not count at the first level of the order, so
// "12-张三" sorts before "1-大米". They still tell texts apart: where texts
// tie without them, they decide, so the order is total and an index built
// with it stays consistent.
namespace ChineseCollation {

constexpr const char name[] = "Chinese_PRC_CI_AS";

// The character as the collation sees it: case and width folded.
uint fold(uint codePoint);

// Whether the first level of the order passes over a folded character.
inline bool isIgnorable(uint folded)
{
    return folded == '-' || folded == '\'';
}

// Weight of a folded character at the first level of the order; characters
// of equal weight differ only at the second (accents). "-" and "'" get the
// weight of their place among the symbols, which a range in a LIKE class
// ("[!-/]") uses.
uint primaryWeight(uint folded);

// Reads one code point of UTF-8 text at *pos and moves past it; malformed
// bytes stand for themselves.
uint nextCodePoint(const unsigned char *text, int length, int *pos);

// The byte length of UTF-8 text without its trailing blanks.
int trimmedLength(const unsigned char *text, int length);

// Compares two UTF-8 texts: < 0, 0 or > 0.
int compare(const unsigned char *a, int lengthA, const unsigned char *b, int lengthB);

// Registers the collation on db. Indexes that an earlier order of it built
// are rebuilt the first time, as their order would no longer hold.
bool install(sqlite3 *db, QString *error);

} // namespace ChineseCollation
