#include "KRAHandleTable.h"

#include <gtest/gtest.h>

namespace {

struct Record {
    LONG m_lRefCount = 0;
    int m_nValue = 0;
    LONG IncrementRefCount() { return ++m_lRefCount; }
    LONG DecrementRefCount() { return --m_lRefCount; }
};

LONG Build(Record& r)
{
    r.m_nValue = 7;
    return KRA_OK;
}
LONG Release(Record&)
{
    return KRA_OK;
}

} // namespace

TEST(HandleTable, NamesDifferingInCaseShareOneEntryUntilTheLastUnload)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE a = 0, b = 0;
    ASSERT_EQ(table.Load("Room.KRS", a, Build), KRA_OK);
    ASSERT_EQ(table.Load("ROOM.krs", b, Build), KRA_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(table.Lookup(a)->m_lRefCount, 2);
    EXPECT_EQ(table.Unload(a, Release), KRA_OK);
    EXPECT_NE(table.Lookup(a), nullptr);
    EXPECT_EQ(table.Unload(a, Release), KRA_OK);
    EXPECT_EQ(table.Lookup(a), nullptr);
    EXPECT_FALSE(table.HasName("room.krs"));
    EXPECT_EQ(table.Unload(a, Release), KRA_E_INVALID_HANDLE);
}

TEST(HandleTable, FreedSlotIsReusedWithANewSerialAndTheOldHandleIsRefused)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE first = 0, second = 0, third = 0;
    table.Load("one", first, Build);
    table.Load("two", second, Build);
    table.Unload(first, Release);
    table.Load("three", third, Build);
    EXPECT_EQ(KRAHandleIndex(third), KRAHandleIndex(first));
    EXPECT_NE(KRAHandleSerial(third), KRAHandleSerial(first));
    EXPECT_EQ(table.Lookup(first), nullptr);
    EXPECT_NE(table.Lookup(third), nullptr);
    EXPECT_EQ(table.SlotCount(), 2u);
}

TEST(HandleTable, LookupRefusesZeroEmptyTablesIndicesPastTheEndAndStaleSerials)
{
    CKRAHandleTable<Record> table;
    EXPECT_EQ(table.Lookup(0x00010000), nullptr); // empty table
    KRASetSerialCounter(0);
    _KRA_HANDLE h = 0;
    table.Load("x", h, Build);
    EXPECT_EQ(h, 0x00010000u); // index 0, serial 1: a valid handle
    EXPECT_NE(table.Lookup(h), nullptr);
    EXPECT_EQ(table.Lookup(0), nullptr);
    EXPECT_EQ(table.Lookup(0x00010001), nullptr); // index past the slots
    EXPECT_EQ(table.Lookup(0x00020000), nullptr); // wrong serial
}

TEST(HandleTable, SerialWrapsFromFFFFToOne)
{
    KRASetSerialCounter(0xFFFE);
    EXPECT_EQ(KRAHandleSerial(KRAIssueHandle(3)), 0xFFFFu);
    _KRA_HANDLE h = KRAIssueHandle(3);
    EXPECT_EQ(KRAHandleSerial(h), 1u);
    EXPECT_EQ(KRAHandleIndex(h), 3u);
    // Issuing 65535 handles from serial 1 comes back to serial 1: never 0.
    for (int i = 0; i < 0xFFFE; ++i)
        ASSERT_NE(KRAHandleSerial(KRAIssueHandle(0)), 0u);
    EXPECT_EQ(KRAHandleSerial(KRAIssueHandle(0)), 1u);
}

TEST(HandleTable, FailedBuildLeavesNoNameNoSlotAndNoHandle)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE h = 0xDEAD;
    EXPECT_EQ(table.Load("bad", h, [](Record&) { return KRA_E_INVALID_ARGUMENT; }), KRA_E_INVALID_ARGUMENT);
    EXPECT_EQ(h, 0xDEADu);
    EXPECT_FALSE(table.HasName("bad"));
    EXPECT_EQ(table.LiveCount(), 0u);
    // A later load of the same name starts afresh.
    EXPECT_EQ(table.Load("bad", h, Build), KRA_OK);
    EXPECT_EQ(table.Lookup(h)->m_lRefCount, 1);
}

TEST(HandleTable, RefusesA65537thSlotInsteadOfAliasingSlotZero)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE h = 0;
    for (size_t i = 0; i < KRA_TABLE_MAX_SLOTS; ++i)
        ASSERT_EQ(table.Add(std::make_unique<Record>(), h), KRA_OK);
    EXPECT_EQ(table.Add(std::make_unique<Record>(), h), KRA_E_ALLOCATION);
    EXPECT_EQ(table.Load("more", h, Build), KRA_E_ALLOCATION);
    EXPECT_FALSE(table.HasName("more"));
}

TEST(HandleTable, RecordsStayPutWhileTheTableGrows)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE h = 0;
    table.Load("first", h, Build);
    Record* pFirst = table.Lookup(h);
    for (int i = 0; i < 500; ++i) {
        _KRA_HANDLE other = 0;
        table.Load(("n" + std::to_string(i)).c_str(), other, Build);
    }
    EXPECT_EQ(table.Lookup(h), pFirst);
}

TEST(HandleTable, WalkFollowsNameOrderAndDestroyEmptiesEverything)
{
    CKRAHandleTable<Record> table;
    _KRA_HANDLE h = 0;
    table.Load("b", h, Build);
    table.Load("A", h, Build);
    table.Load("c", h, Build);
    std::vector<std::string> names;
    table.ForEach([&](_KRA_HANDLE hh, Record&) { names.push_back(*table.NameOf(hh)); });
    EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c"}));
    int released = 0;
    table.Destroy([&](Record&) {
        ++released;
        return KRA_OK;
    });
    EXPECT_EQ(released, 3);
    EXPECT_EQ(table.Lookup(h), nullptr);
    EXPECT_EQ(table.SlotCount(), 0u);
}

TEST(HandleTable, CaseFoldingIsAsciiOnly)
{
    EXPECT_EQ(KRACompareNoCase("ABC", "abc"), 0);
    EXPECT_LT(KRACompareNoCase("ab", "abc"), 0);
    // Double-byte names keep their high bytes as they are.
    EXPECT_NE(KRACompareNoCase("\xC7\xD1", "\xE7\xF1"), 0);
}
