#pragma once
// The advert fetched once at start-up from the maker's site: the index names the advert picture with
// the link a click on it opens, and the current version of the program, which the user is offered to
// download when it is not this one. Files land beside the executable.

#include <QString>

namespace vx {

// What the fetch leaves for the advert window and the closing.
struct Advert {
    QString link;                // where a click on the advert leads; empty without an index
    QString localFile;           // the advert picture's path beside the executable; empty: none named
    bool pictureWritten = false; // this run put the picture at localFile
};

// Runs the fetch into folder (with its closing "/"), asking through the dialog service. Every failure
// is absorbed: a failed new version is told, everything else is silent.
Advert fetchAdvert(const QString& folder);

} // namespace vx
