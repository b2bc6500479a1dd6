#pragma once

#include <QElapsedTimer>
#include <QtGlobal>
#include <algorithm>
#include <vector>
#ifdef __GLIBC__
#include <malloc.h>
#endif

// Bytes in use on the heap; 0 where the C library does not tell.
inline qint64 heapInUse()
{
#ifdef __GLIBC__
    return qint64(mallinfo2().uordblks);
#else
    return 0;
#endif
}

inline double median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}
