// Guards the last-task writer: lists reaching the disk out of order, a ticket
// told durable before its list (or a later one) is on disk, a failure lost on
// the way back, a list handed and never written.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "jobs/LastTaskWriter.h"
#include "tests/jobs/WriterGate.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<uint8_t> List(uint8_t n) { return std::vector<uint8_t>(64, n); }

class Writer : public ::testing::Test {
protected:
    std::string File() const { return (folder.path() / "last.orlattask").string(); }
    std::string Missing() const { return (folder.path() / "gone" / "last.orlattask").string(); }
    // The list the file holds (its first byte); -1: no file.
    int OnDisk() const
    {
        std::ifstream in(File(), std::ios::binary);
        const std::vector<char> b{std::istreambuf_iterator<char>(in), {}};
        return b.empty() ? -1 : static_cast<uint8_t>(b[0]);
    }

    testsupport::TempFolder folder{"orlat_writer_"};
    writergate::Gate gate;  // outlives the writer, which calls it
    std::unique_ptr<CLastTaskWriter> writer = std::make_unique<CLastTaskWriter>(gate.Hook());
};

}  // namespace

TEST_F(Writer, AListHandedWhileAnotherIsWrittenWaitsAndTheNewestOfTheWaitingIsWritten)
{
    gate.CloseAt(1);
    const KeepTicket first = writer->Hand(File(), List(1));
    ASSERT_TRUE(gate.Reached());
    const KeepTicket second = writer->Hand(File(), List(2));
    const KeepTicket third = writer->Hand(File(), List(3));
    EXPECT_EQ(writer->Handed(), third);
    EXPECT_FALSE(writer->Durable(first));
    EXPECT_FALSE(writer->WaitDurable(third, 0ms));
    gate.Open();
    ASSERT_TRUE(writer->WaitDurable(third, 10s));
    // The second never reached the disk on its own: the third accounts for it.
    EXPECT_TRUE(writer->Durable(second));
    EXPECT_EQ(gate.Began(), (std::vector<KeepTicket>{first, third}));
    EXPECT_EQ(OnDisk(), 3);
    EXPECT_FALSE(writer->Failing());
    EXPECT_EQ(writer->LastWritten().ticket, third);
}

TEST_F(Writer, TheEmptyListRemovesTheFileInItsTurn)
{
    // Removal after a write under way, then a write after the removal.
    gate.CloseAt(1);
    writer->Hand(File(), List(1));
    ASSERT_TRUE(gate.Reached());
    const KeepTicket removal = writer->Hand(File(), std::nullopt);
    gate.Open();
    ASSERT_TRUE(writer->WaitDurable(removal, 10s));
    EXPECT_EQ(OnDisk(), -1);
    ASSERT_TRUE(writer->WaitDurable(writer->Hand(File(), List(4)), 10s));
    EXPECT_EQ(OnDisk(), 4);
    EXPECT_EQ(writer->TakeRoom().size(), 64u);  // its buffer, for the next list
    writer->Hand(File(), List(5));
    ASSERT_TRUE(writer->WaitDurable(writer->Hand(File(), std::nullopt), 10s));
    EXPECT_EQ(OnDisk(), -1);
    EXPECT_TRUE(writer->TakeRoom().empty());  // the emptied list holds no memory
    // No file already: removed all the same.
    EXPECT_TRUE(writer->WaitDurable(writer->Hand(File(), std::nullopt), 10s));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator{}), 0);  // no temporary
}

TEST_F(Writer, AFailureComesBackWithItsReasonAndEndsWithTheNextWriteThatWorks)
{
    const KeepTicket bad = writer->Hand(Missing(), List(1));
    EXPECT_FALSE(writer->WaitDurable(bad, 10s));
    EXPECT_TRUE(writer->Failing());
    const WrittenList w = writer->LastWritten();
    EXPECT_EQ(w.ticket, bad);
    EXPECT_EQ(w.status, TaskFileStatus::WriteFailed);
    EXPECT_EQ(w.error, ENOENT);

    const KeepTicket good = writer->Hand(File(), List(2));
    ASSERT_TRUE(writer->WaitDurable(good, 10s));
    EXPECT_FALSE(writer->Failing());
    // The later list covers the earlier one now.
    EXPECT_TRUE(writer->Durable(bad));

    const KeepTicket refused = writer->HandFailure(TaskFileStatus::OutOfMemory, ENOMEM);
    EXPECT_FALSE(writer->WaitDurable(refused, 10s));
    EXPECT_EQ(writer->LastWritten().status, TaskFileStatus::OutOfMemory);
    EXPECT_EQ(OnDisk(), 2);  // nothing written for it
}

TEST_F(Writer, AFailedWriteWithALaterListOnItsWayIsNotFinal)
{
    gate.CloseAt(1);
    const KeepTicket bad = writer->Hand(Missing(), List(1));
    ASSERT_TRUE(gate.Reached());
    writer->Hand(File(), List(2));
    gate.Open();
    // The wait for the first outlasts its failure: the second covers it.
    EXPECT_TRUE(writer->WaitDurable(bad, 10s));
    EXPECT_EQ(OnDisk(), 2);
}

TEST_F(Writer, WhatWasHandedIsWrittenBeforeTheWriterGoes)
{
    gate.CloseAt(1);
    writer->Hand(File(), List(1));
    ASSERT_TRUE(gate.Reached());
    writer->Hand(File(), List(2));
    EXPECT_FALSE(writer->WaitIdle(0ms));
    gate.Open();
    writer.reset();
    EXPECT_EQ(OnDisk(), 2);
}
