#pragma once

#include "ProductInfo.h"

#include <QString>

namespace orvane {

using pointillo::kAuthor;
using pointillo::kEmail;
using pointillo::kProductVersion;

// The folder of the program's executable.
QString ProgramFolder();

// folder joined with fileName by exactly one separator, whether or not folder already ends
// with one (a root folder does).
QString JoinFolder(const QString& folder, const QString& fileName);

} // namespace orvane
