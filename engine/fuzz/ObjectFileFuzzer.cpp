// Any bytes as a KRO file: the parser must refuse or accept without reading past the end.
#include "KRAObjectFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KRA_OBJECT_FILE_DATA file;
    KRAParseObjectFile(data, size, file);
    return 0;
}
