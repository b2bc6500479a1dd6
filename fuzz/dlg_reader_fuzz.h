#pragma once

#include <cstddef>
#include <cstdint>

// One input for the .dlg reader: read it; when it reads, rebuild the tree as a load does, clean it
// up, write it and read the result back, which must give the same records. Each record lies
// within the reader's depth limit, and each text comes back from its listing form.
int fuzzDlgReader(const uint8_t *data, size_t size);
