#pragma once

#include <QString>

#include <string>

namespace trivane {

// Splits at the last '/': "/x.MOV" gives "/" and "x.MOV", "a/b/x.MOV" gives "a/b" and "x.MOV",
// and a path without '/' gives "." and the whole path.
void SplitFilePath(const std::string& path, std::string& folder, std::string& name);

// Whether the path names an existing folder (following links).
bool IsFolder(const std::string& path);

// The bytes on disk of a path a file dialog returned. Qt decodes file names that are not UTF-8
// with replacement characters, so QFile::encodeName alone may name nothing; every part of the
// path that does not exist as encoded is looked up among its folder's entries and replaced by
// the first entry that Qt decodes to the same text. Parts that match nothing stay encoded.
std::string ResolveChosenPath(const QString& chosen);

}  // namespace trivane
