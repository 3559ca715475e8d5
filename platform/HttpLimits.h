#pragma once
// How long a request may take and how much it may bring. A site that never answers, answers a byte at
// a time or sends without end would otherwise hold the start-up or fill the memory and the disk; a
// reached limit is a failed request like any other.

#include <QtGlobal>

namespace vx {

struct HttpLimits {
    int connectMs = 0;     // to open the connection; 0: the system's own
    int totalMs = 0;       // for the whole request; 0: none
    qint64 maxBytes = 0;   // of the answer's body; 0: none
    // The transfer is given up when fewer than stallBytes arrive within stallMs; 0: never.
    qint64 stallBytes = 0;
    int stallMs = 0;
};

// The limits of each request of the web content.
struct WebLimits {
    HttpLimits index;   // the advert index at start-up
    HttpLimits picture; // the advert picture
    HttpLimits version; // a new version the user asked for: as long as it keeps coming
    HttpLimits report;  // the click report
    // The start-up's index and picture together, from the index's first request: whatever the site or
    // the name server does, the program is on screen by then. The user's answer to a version offer and
    // the download he accepted are his own time and do not count.
    int startupMs = 0;
};

inline constexpr int kConnectLimitMs = 5000;
inline constexpr qint64 kKiB = 1024;
inline constexpr qint64 kMiB = 1024 * kKiB;

inline constexpr WebLimits kWebLimits{
    {kConnectLimitMs, 15000, 64 * kKiB, 0, 0},
    {kConnectLimitMs, 30000, 10 * kMiB, 0, 0},
    {kConnectLimitMs, 0, 200 * kMiB, 1 * kKiB, 30000},
    // The report's answer is read and dropped; the cap only keeps an endless one out of the memory.
    {kConnectLimitMs, 15000, 10 * kMiB, 0, 0},
    15000,
};

// The limits in use: kWebLimits unless a test has put shorter ones in place.
const WebLimits& webLimits();
void setWebLimits(const WebLimits* limits); // nullptr restores kWebLimits; the caller keeps ownership

} // namespace vx
