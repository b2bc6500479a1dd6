#include "bench_prompter.h"

#include <cstdio>

void BenchPrompter::error(const QString &text)
{
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
}
