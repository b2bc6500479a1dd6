#include "dlg_reader_fuzz.h"

// libFuzzer entry point.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzDlgReader(data, size);
}
