#include "DsvFile.h"

#include <yonda_platform.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Reads the next record and turns it back into text; false at the end of the catalogue.
bool NextRow(FILE* stream, char* buffer)
{
    const int length = ReadRecord(stream, buffer, kDsvRecordSize);
    if (length <= 0)
        return false;
    InvertBytes(buffer, length);
    return true;
}

char* CopyText(const char* text, size_t length)
{
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

} // namespace

int ReadRecord(FILE* stream, char* buffer, int size)
{
    if (!stream || !buffer || size <= 0)
        return -1;
    int length = 0;
    for (;;) {
        const int c = std::fgetc(stream);
        if (c == EOF) {
            buffer[0] = '\0';
            return std::ferror(stream) ? -1 : 0;
        }
        if (c == 0) {
            buffer[length] = '\0';
            return length;
        }
        if (length >= size - 1) {
            buffer[length] = '\0';
            return -1;
        }
        buffer[length++] = static_cast<char>(c);
    }
}

int InvertBytes(char* buffer, int length)
{
    for (int i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(~static_cast<unsigned char>(buffer[i]));
    return length;
}

char*** ReadDsvFile(LPCSTR path, int* rows, int* columns)
{
    int rowCount = 0;
    int columnCount = 0;
    if (rows)
        *rows = 0;
    if (columns)
        *columns = 0;
    FilePtr file(YondaOpenFile(path, "rb"));
    if (!file)
        return nullptr;
    char buffer[kDsvRecordSize];
    while (NextRow(file.get(), buffer)) {
        ++rowCount;
        const int fields = static_cast<int>(std::count(buffer, buffer + std::strlen(buffer), ',')) + 1;
        columnCount = std::max(columnCount, fields);
    }

    // The second pass keeps to what the first one counted, should the file change meanwhile.
    std::rewind(file.get());
    char*** table = new char**[rowCount];
    int made = 0;
    while (made < rowCount && NextRow(file.get(), buffer)) {
        char** fields = new char*[columnCount]();
        const char* start = buffer;
        for (int field = 0; field < columnCount; ++field) {
            const char* comma = std::strchr(start, ',');
            const size_t length = comma ? static_cast<size_t>(comma - start) : std::strlen(start);
            fields[field] = CopyText(start, length);
            if (!comma)
                break;
            start = comma + 1;
        }
        table[made++] = fields;
    }
    if (rows)
        *rows = made;
    if (columns)
        *columns = columnCount;
    return table;
}

void FreeDsvFile(char*** table, int rows, int columns)
{
    if (!table)
        return;
    for (int row = 0; row < rows; ++row) {
        if (!table[row])
            continue;
        for (int field = 0; field < columns; ++field)
            delete[] table[row][field];
        delete[] table[row];
    }
    delete[] table;
}
