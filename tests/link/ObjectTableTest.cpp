#include "link/ObjectTable.h"
#include "link/Catalogue.h"
#include "link/Frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes PayloadFrom15(const uint8_t* frame, uint16_t size) {
    return Bytes(frame + 15, frame + 14 + size);
}

// A two-field structure {code 1, code 33}, the smallest one that shows the address reversal.
struct TPair {
    uint8_t Value = 0x05;
    uint8_t Address[3] = {0x03, 0xC8, 0xFD};
    TFieldEntry Fields[2] = {{vt::U8, &Value}, {vt::Address, Address}};
    TObjectEntry Table[1] = {{AccessRead | AccessWrite, 0x40, vt::Struct, Fields, 2, 0}};
    TPair() { ComputeEncodedSizes(Table, 1); }
};

TEST(ValueCodec, SizesOfEveryCode) {
    const char text[] = "abc";
    const struct {
        uint32_t type;
        uint16_t size;
    } cases[] = {{1, 1}, {7, 1}, {5, 2}, {9, 2}, {13, 2}, {11, 4}, {25, 4}, {31, 8}, {39, 8}, {33, 3},
                 {3, 4}, {17, 0}, {125, 0}, {2, 0}, {0x101, 1} /* only the low byte counts */};
    for (const auto& c : cases)
        EXPECT_EQ(ValueSize(c.type, text), c.size) << "code " << c.type;
}

TEST(ValueCodec, StructureEncodesAndDecodesBack) {
    TPair pair;
    EXPECT_EQ(pair.Table[0].EncodedSize, 8);
    uint8_t frame[64] = {};
    uint16_t size = 0;
    EncodeObject(pair.Table, 0, frame, size);
    EXPECT_EQ(size, 8);
    EXPECT_EQ(PayloadFrom15(frame, size), (Bytes{0x02, 0x01, 0x21, 0x05, 0xFD, 0xC8, 0x03}));

    pair.Value = 0;
    std::memset(pair.Address, 0, 3);
    EXPECT_EQ(DecodeObject(pair.Table, 0, frame + 15), 1);
    EXPECT_EQ(pair.Value, 0x05);
    EXPECT_EQ(Bytes(pair.Address, pair.Address + 3), (Bytes{0x03, 0xC8, 0xFD}));
}

TEST(ValueCodec, LayoutMismatchStoresNothing) {
    const Bytes payloads[] = {
        {0x03, 0x01, 0x21, 0x07, 0x0A, 0x0B, 0x0C}, // field count
        {0x02, 0x01, 0x0B, 0x07, 0x0A, 0x0B, 0x0C}, // second type code
        {0x02, 0x19, 0x21, 0x07, 0x0A, 0x0B, 0x0C}, // first type code, second right
    };
    for (const Bytes& p : payloads) {
        TPair pair;
        EXPECT_EQ(DecodeObject(pair.Table, 0, p.data()), 0);
        EXPECT_EQ(pair.Value, 0x05);
        EXPECT_EQ(Bytes(pair.Address, pair.Address + 3), (Bytes{0x03, 0xC8, 0xFD}));
    }
}

TEST(ValueCodec, AddressObjectIsReversedBothWays) {
    uint8_t address[3] = {};
    TObjectEntry table[1] = {{3, ObjectId::ConsoleAddress, vt::Address, address, 0, 0}};
    const uint8_t wire[] = {0x0A, 0x0B, 0x0C};
    EXPECT_EQ(DecodeObject(table, 0, wire), 1);
    EXPECT_EQ(Bytes(address, address + 3), (Bytes{0x0C, 0x0B, 0x0A}));
}

TEST(ValueCodec, UnknownFieldTypeTakesNoRoom) {
    uint8_t a = 1, b = 2;
    uint32_t unknown = 0xFFFFFFFF;
    TFieldEntry fields[3] = {{vt::U8, &a}, {2, &unknown}, {vt::U8, &b}};
    TObjectEntry table[1] = {{3, 0x41, vt::Struct, fields, 3, 0}};
    ComputeEncodedSizes(table, 1);
    EXPECT_EQ(table[0].EncodedSize, 2 + 3 + 2);
    const uint8_t payload[] = {0x03, 0x01, 0x02, 0x01, 0x0A, 0x0B};
    EXPECT_EQ(DecodeObject(table, 0, payload), 1);
    EXPECT_EQ(a, 0x0A);
    EXPECT_EQ(b, 0x0B);
    EXPECT_EQ(unknown, 0xFFFFFFFF);
}

TEST(ValueCodec, ReceivedTextNeverOutgrowsItsVariable) {
    struct {
        char Text[4] = "abc";
        char Guard = 'G';
    } storage;
    TObjectEntry table[1] = {{3, 0x42, vt::Text, storage.Text, 0, 0}};
    ComputeEncodedSizes(table, 1);
    EXPECT_EQ(table[0].EncodedSize, 5);
    const uint8_t longText[] = {'w', 'x', 'y', 'z', 'q', 0};
    EXPECT_EQ(DecodeObject(table, 0, longText), 1);
    EXPECT_STREQ(storage.Text, "wxy");
    EXPECT_EQ(storage.Guard, 'G');
}

TEST(ValueCodec, ArraysEncodeAsOneBlockOrRecordByRecord) {
    uint8_t addresses[2][3] = {{1, 2, 3}, {4, 5, 6}};
    TArrayDescriptor simple{vt::Address, addresses, 2, 0};
    uint16_t counts[3] = {0x0102, 0x0304, 0x0506};
    uint8_t flags[3] = {0xA, 0xB, 0xC};
    void* countColumn = counts;
    void* flagColumn = flags;
    TFieldEntry columns[2] = {{vt::Word5, &countColumn}, {vt::U8, &flagColumn}};
    TArrayDescriptor records{vt::Struct, columns, 3, 2};
    TObjectEntry table[2] = {{2, 0x50, vt::Array, &simple, 0, 0},
                             {2, 0x51, vt::Array, &records, 0, 0}};
    ComputeEncodedSizes(table, 2);
    EXPECT_EQ(table[0].EncodedSize, 2 + 6);
    EXPECT_EQ(table[1].EncodedSize, 3 + 2 + 3 * 3);

    uint8_t frame[64] = {};
    uint16_t size = 0;
    EncodeObject(table, 0, frame, size);
    EXPECT_EQ(PayloadFrom15(frame, size), (Bytes{0x21, 1, 2, 3, 4, 5, 6})); // not reversed
    EncodeObject(table, 1, frame, size);
    EXPECT_EQ(PayloadFrom15(frame, size), (Bytes{0x7D, 0x02, 0x05, 0x01, 0x02, 0x01, 0x0A, 0x04,
                                                 0x03, 0x0B, 0x06, 0x05, 0x0C}));

    // Arrays are never decoded: the element values stay as they were.
    const uint8_t wire[] = {0x21, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(DecodeObject(table, 0, wire), 1);
    EXPECT_EQ(addresses[0][0], 1);
}

class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        ComputeEncodedSizes(ObjectTable, ObjectTableCount);
        DeviceSettings = {};
        SpectrumData = {};
    }
};

TEST_F(Catalogue, EncodedSizesAfterStartUp) {
    const uint16_t expected[] = {111, 111, 61, 21, 21, 65, 22, 29, 9, 2, 4, 4, 4, 8};
    ASSERT_EQ(ObjectTableCount, 14);
    for (uint8_t i = 0; i < ObjectTableCount; ++i)
        EXPECT_EQ(ObjectTable[i].EncodedSize, expected[i]) << int(i);
}

TEST_F(Catalogue, IdsAndTypesAreUnique) {
    for (uint8_t i = 0; i < ObjectTableCount; ++i)
        for (uint8_t j = i + 1; j < ObjectTableCount; ++j)
            EXPECT_NE(ObjectTable[i].ObjectId, ObjectTable[j].ObjectId);
}

TEST_F(Catalogue, SettingsReadFeedsTheWritesThatShareItsVariables) {
    // DeviceSettings as the device sends it: 18 fields, addresses least significant byte first.
    uint8_t payload[65] = {ObjectId::DeviceSettings, 18};
    const uint8_t types[18] = {11, 25, 11, 11, 11, 33, 1, 25, 25, 1, 1, 1, 1, 33, 1, 33, 1, 1};
    std::memcpy(payload + 2, types, 18);
    uint8_t* v = payload + 20;
    v += 4 + 4 + 12;
    *v++ = 0xFD, *v++ = 0xC8, *v++ = 0x03; // field 6
    *v++ = 0;
    const float rateThreshold = 2.5f, doseThreshold = 7.0f;
    std::memcpy(v, &rateThreshold, 4), v += 4;
    std::memcpy(v, &doseThreshold, 4), v += 4;
    *v++ = 100, *v++ = 3, *v++ = 0x16, *v++ = 0x10;  // fields 10..13
    *v++ = 0x33, *v++ = 0x22, *v++ = 0x11, *v++ = 5; // field 14, 15
    *v++ = 0x66, *v++ = 0x55, *v++ = 0x44, *v++ = 6; // field 16, 17
    *v++ = 0x1F;                                     // field 18
    ASSERT_EQ(v - payload, 65);
    ASSERT_EQ(DecodeObject(ObjectTable, Obj::DeviceSettings, payload + 1), 1);

    EXPECT_EQ(Bytes(DeviceSettings.ConsoleAddress, DeviceSettings.ConsoleAddress + 3),
              (Bytes{0x03, 0xC8, 0xFD}));
    uint8_t frame[FrameBufferSize] = {};
    uint16_t size = 0;
    EncodeObject(ObjectTable, Obj::DeviceSettingsWrite, frame, size);
    Bytes expected = {7, 25, 25, 1, 1, 1, 1, 1};
    expected.insert(expected.end(), payload + 20 + 24, payload + 20 + 32); // the two thresholds
    expected.insert(expected.end(), {100, 3, 0x16, 0x10, 0x1F});
    EXPECT_EQ(PayloadFrom15(frame, size), expected);

    const struct {
        uint8_t index;
        Bytes wire;
    } addresses[] = {{Obj::ConsoleAddress, {0xFD, 0xC8, 0x03}},
                     {Obj::Module1Address, {0x33, 0x22, 0x11}},
                     {Obj::Module2Address, {0x66, 0x55, 0x44}}};
    for (const auto& a : addresses) {
        EncodeObject(ObjectTable, a.index, frame, size);
        EXPECT_EQ(PayloadFrom15(frame, size), a.wire) << int(a.index);
    }
}

TEST_F(Catalogue, BothSpectrumObjectsFillTheSameVariables) {
    SpectrumData.Counts[13] = 1234;
    uint8_t frame[FrameBufferSize] = {};
    uint16_t size = 0;
    EncodeObject(ObjectTable, Obj::SpectrumData, frame, size);
    SpectrumData = {};
    ASSERT_EQ(DecodeObject(ObjectTable, Obj::SpectrumData2, frame + 15), 1);
    EXPECT_EQ(SpectrumData.Counts[13], 1234u);
}

// The description bound to other storage, as the simulated console unit binds it: each object
// carries its owner's values over the wire into the program's variables, and neither binding
// reaches into the other's storage.
TEST_F(Catalogue, AnotherOwnersBindingCarriesItsOwnValues) {
    struct TOwner {
        TSpectrumData Spectrum, Spectrum2;
        TMeasurementData Measurement;
        TBattery Console, Detector;
        TDeviceSettings Settings;
        TArchiveEntry Entry;
        uint8_t Clock[8];
        uint8_t Command;
        TTaggedAddress Tagged;
    } owner;
    // A distinct byte per variable, so a field bound into the wrong variable shows.
    uint8_t fill = 0x11;
    auto paint = [&fill](auto& v) { std::memset(&v, fill, sizeof v), fill += 0x11; };
    paint(owner.Spectrum), paint(owner.Spectrum2), paint(owner.Measurement);
    paint(owner.Console), paint(owner.Detector), paint(owner.Settings), paint(owner.Entry);
    paint(owner.Clock), paint(owner.Command), paint(owner.Tagged);
    const TOwner before = owner;

    TObjectEntry table[ObjectCount];
    TFieldEntry fields[CatalogueFieldCount];
    BindCatalogue({&owner.Spectrum, &owner.Spectrum2, &owner.Measurement, &owner.Console,
                   &owner.Detector, &owner.Settings, &owner.Entry, owner.Clock, &owner.Command,
                   &owner.Tagged},
                  table, fields);
    ComputeEncodedSizes(table, ObjectCount);

    std::vector<Bytes> sent;
    for (uint8_t i = 0; i < ObjectCount; ++i) {
        SCOPED_TRACE(int(i));
        EXPECT_EQ(table[i].ObjectId, ObjectTable[i].ObjectId);
        EXPECT_EQ(table[i].EncodedSize, ObjectTable[i].EncodedSize);
        uint8_t frame[FrameBufferSize] = {};
        uint16_t size = 0;
        EncodeObject(table, i, frame, size);
        sent.emplace_back(frame + 15, frame + 14 + size);
        ASSERT_EQ(DecodeObject(ObjectTable, i, frame + 15), 1);
        EncodeObject(ObjectTable, i, frame, size);
        EXPECT_EQ(Bytes(frame + 15, frame + 14 + size), sent.back());
    }
    // Every value byte an object sends comes from the variable it belongs to; the two spectra,
    // one variable in the program, are two here.
    const uint8_t from[ObjectCount] = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x66,
                                       0x77, 0x88, 0x99, 0x66, 0x66, 0x66, 0xAA};
    for (uint8_t i = 0; i < ObjectCount; ++i) {
        const size_t values = table[i].ValueType == vt::Struct ? 1u + table[i].FieldCount : 0u;
        for (size_t k = values; k < sent[i].size(); ++k)
            ASSERT_EQ(sent[i][k], from[i]) << "object " << int(i) << ", byte " << k;
    }
    EXPECT_EQ(0, std::memcmp(&owner, &before, sizeof owner)) << "decoding changed the owner";
    SpectrumData = {};
    MeasurementData = {};
    ConsoleBattery = DetectorBattery = {};
    ArchiveEntry = {};
    TaggedAddress = {};
}

} // namespace
