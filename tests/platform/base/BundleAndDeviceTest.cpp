#include <gtest/gtest.h>

#include "QLCoreLibrary/FileManagerExtensions.h"
#include "platform/base/Device.h"
#include "platform/base/FileSystem.h"
#include "support/TemporarySandbox.h"

using namespace platform;

TEST(Device, IdentifierIsStablePerSandbox) {
    std::string first, again, other;
    {
        vantrel::test::TemporarySandbox a;
        first = Device::current().uniqueIdentifier();
        again = Device::current().uniqueIdentifier();
        vantrel::test::TemporarySandbox b;
        other = Device::current().uniqueIdentifier();
    }
    EXPECT_EQ(first.size(), 40u);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    EXPECT_FALSE(Device::current().name().empty());
}

TEST(FileManagerExtensions, Md5OfKnownFiles) {
    vantrel::test::TemporarySandbox sandbox;
    std::string empty = fs::joinPath(sandbox.root(), "empty");
    std::string fox = fs::joinPath(sandbox.root(), "fox");
    std::string large = fs::joinPath(sandbox.root(), "large");
    fs::writeFileAtomically(empty, "");
    fs::writeFileAtomically(fox, "The quick brown fox jumps over the lazy dog");
    fs::writeFileAtomically(large, std::string(20000, 'a')); // spans several read blocks
    EXPECT_EQ(md5ForFileAtPath(empty), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5ForFileAtPath(fox), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(md5ForFileAtPath(large), "9bb57f821953f3c232116e38badc8e96");
    EXPECT_EQ(md5ForFileAtPath(fs::joinPath(sandbox.root(), "missing")), "d41d8cd98f00b204e9800998ecf8427e");
}
