#pragma once

#include <QString>

namespace orvane {

// The program's name and version as its texts show them.
inline constexpr char kProductVersion[] = "Pointillo V1.0";
// Author and contact fields of the code header and the about text: the team, not a person.
inline constexpr char kAuthor[] = "Pointillo Team";
inline constexpr char kEmail[] = "support@pointillo.example";

// The folder of the program's executable.
QString ProgramFolder();

// folder joined with fileName by exactly one separator, whether or not folder already ends
// with one (a root folder does).
QString JoinFolder(const QString& folder, const QString& fileName);

} // namespace orvane
