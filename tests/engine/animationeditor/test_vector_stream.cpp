#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "animationeditor/vector_stream.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(VectorStream, WritesAppendAndReadsComeBackInOrder) {
    Bytes bytes;
    AE::VectorStream out(&bytes);
    const uint8_t a[4] = {1, 2, 3, 4};
    const uint8_t b[2] = {5, 6};
    out.write(a, 4);
    out.write(b, 2);
    EXPECT_EQ(out.size(), 6);
    EXPECT_EQ(out.position(), 0u);

    AE::VectorStream in(&bytes);
    uint8_t back[6] = {};
    in.read(back, 6);
    EXPECT_EQ(Bytes(back, back + 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(in.size(), 6);  // everything written, not what is left
}

TEST(VectorStream, ValuesAreLittleEndianInMemoryBytes) {
    Bytes bytes;
    AE::VectorStream s(&bytes);
    AE::writeValue<uint32_t>(s, 0x11223344u);
    AE::writeValue<float>(s, 1.0f);
    EXPECT_EQ(bytes, (Bytes{0x44, 0x33, 0x22, 0x11, 0x00, 0x00, 0x80, 0x3f}));
    EXPECT_EQ(AE::readValue<uint32_t>(s), 0x11223344u);
    EXPECT_EQ(AE::readValue<float>(s), 1.0f);
}

TEST(VectorStream, WriteFromInsideItsOwnVector) {
    Bytes bytes = {7, 8, 9};
    bytes.shrink_to_fit();
    AE::VectorStream s(&bytes);
    s.write(bytes.data(), 3);  // grows the vector while reading from it
    EXPECT_EQ(bytes, (Bytes{7, 8, 9, 7, 8, 9}));
}

TEST(VectorStream, CStringsAndIntLists) {
    Bytes bytes;
    AE::VectorStream s(&bytes);
    AE::writeCString(s, "abc");
    EXPECT_EQ(bytes.size(), 4u);
    AE::writeCString(s, "");
    AE::writeIntVector(s, {24, -1, 48});
    EXPECT_EQ(AE::readCString(s), "abc");
    EXPECT_EQ(AE::readCString(s), "");
    std::vector<int32_t> list = {99};  // replaced, not appended to
    AE::readIntVector(list, s);
    EXPECT_EQ(list, (std::vector<int32_t>{24, -1, 48}));
}

using VectorStreamDeathTest = testing::Test;

TEST_F(VectorStreamDeathTest, ReadingOutOfRangeIsFatal) {
    struct Case {
        size_t size;      // bytes in the vector
        unsigned first;   // a first read that succeeds
        unsigned second;  // a read that must be fatal
    } cases[] = {
        {3, 3, 1},  // nothing left
        {0, 0, 1},  // empty vector, any read
        {0, 0, 0},  // even of length 0 when nothing is left
        {3, 1, 5},  // asks for more than is left
        {3, 0, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                Bytes bytes(c.size, 0xAB);
                AE::VectorStream s(&bytes);
                uint8_t buffer[8];
                if (c.first) s.read(buffer, c.first);
                uint8_t guard[4];
                s.read(guard, c.second);
                std::exit(0);
            },
            testing::ExitedWithCode(255), "Read data from out of range!")
            << c.size << " " << c.first << " " << c.second;
    }
}

TEST(VectorStream, ZeroLengthReadWithDataLeftDoesNothing) {
    Bytes bytes = {1};
    AE::VectorStream s(&bytes);
    uint8_t x = 0;
    s.read(&x, 0);
    EXPECT_EQ(s.position(), 0u);
    s.read(&x, 1);
    EXPECT_EQ(x, 1);
}

}  // namespace
