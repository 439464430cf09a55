#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace orvane {

inline constexpr char kHelpFileName[] = "Quibrel.dll";

// The one-byte key of the help file. Its top bit is clear, so scrambling never changes which
// bytes lead a double-byte character. The build tool that writes the file uses this constant.
inline constexpr std::uint8_t kHelpKey = 0x37;

// Scrambles or unscrambles text in the Chinese ANSI code page character by character: a
// single-byte character is XORed with key, a double-byte one keeps its lead byte and has its
// trail byte XORed. It is its own inverse for every character except the single bytes 0x80 and
// 0xFF, which the XOR turns into lead bytes; EncodeHelpFile refuses text that holds them.
QByteArray ScrambleAnsi(const QByteArray& bytes, std::uint8_t key = kHelpKey);

// The help file's bytes for text. Throws PlatformError for a character that code page 936
// does not have, or one that would not unscramble to itself (the euro sign, 0x80).
QByteArray EncodeHelpFile(const QString& text);

// The longest help file read: far above any help text, and small enough that a wrong file in
// its place costs the window no noticeable time or memory.
inline constexpr qint64 kMaxHelpFileBytes = 4 * 1024 * 1024;

// The text of the help file at path. Throws PlatformError when the file is missing, is not a
// regular file (it is opened without blocking, so a pipe there cannot hold the window up), is
// longer than kMaxHelpFileBytes, cannot be read, or does not unscramble to valid text.
QString ReadHelpFile(const QString& path);

// Shown in place of the help when the help file cannot be read.
QString AboutText();

} // namespace orvane
