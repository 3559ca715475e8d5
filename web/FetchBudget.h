#pragma once
// One time budget shared by several requests: each runs under its own limits, with its connection and
// total limits cut to what the earlier ones have left, so a site that spreads its delays over them
// still cannot hold the caller longer than the budget. Only the requests' own time is counted.

#include "platform/HttpClient.h"

#include <QElapsedTimer>

#include <algorithm>

namespace vx {

class FetchBudget {
public:
    // totalMs 0: no budget, every request keeps its own limits.
    explicit FetchBudget(int totalMs) : m_leftMs(totalMs), m_bounded(totalMs > 0) {}

    // Runs request(limits) with `own` cut to what is left and counts its time, also when it fails.
    // Raises HttpError without running it when nothing is left.
    template <typename Request>
    auto run(const HttpLimits& own, Request&& request) -> decltype(request(own))
    {
        if (!m_bounded)
            return request(own);
        if (m_leftMs < 1)
            throw HttpError("No time left for the request");
        // A time limit of the request's own is cut to what is left; none at all becomes what is left.
        const auto within = [this](int ownMs) { return int(ownMs > 0 ? std::min<qint64>(ownMs, m_leftMs) : m_leftMs); };
        HttpLimits cut = own;
        cut.connectMs = within(own.connectMs);
        cut.totalMs = within(own.totalMs);
        const Spend spend(*this);
        return request(cut);
    }

private:
    struct Spend {
        explicit Spend(FetchBudget& b) : budget(b) { clock.start(); }
        ~Spend() { budget.m_leftMs -= clock.elapsed(); }
        FetchBudget& budget;
        QElapsedTimer clock;
    };

    qint64 m_leftMs;
    bool m_bounded;
};

} // namespace vx
