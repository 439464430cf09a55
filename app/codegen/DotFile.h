#pragma once

#include <QString>

namespace orvane {

// The name the save dialog proposes: the typed character and ".dot", in the program's folder
// when the user may write there, else in the home folder. A character that cannot stand in a
// file name ("/", NUL) is proposed as "_", so the proposal always lies in that folder.
QString ProposedDotFileName(const QString& programFolder, const QString& character);

// The text as a .dot file (pointillo::DotFileBytes), saved whole or not at all
// (pointillo::SaveFileBytes). Throws PlatformError when the file cannot be written.
void SaveDotFile(const QString& path, const QString& text);

} // namespace orvane
