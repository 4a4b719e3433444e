// A service that misbehaves on purpose: replies far beyond the size cap, binary garbage, a
// million tiny records, thousands of repeated tags, a peer that trickles or stays silent. The
// monitor must refuse what is too large, keep its memory bounded and end every request within
// its time-outs, leaving the boards consistent.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <thread>

#include "board/columns.h"
#include "board/money_refresh.h"
#include "board/today_loader.h"
#include "child_process.h"
#include "feed/curl_http_client.h"
#include "feed/records.h"
#include "feed/service_url.h"
#include "live/live_refresh.h"
#include "support/loopback_server.h"

namespace zelko {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::size_t kMiB = 1024u * 1024u;
// The most BigReplyServer makes and writes at a time.
constexpr std::size_t kChunkBytes = 64 * 1024;
// What one test process may reach at its peak, whatever the service sends.
const long kMemoryBoundKb = (test::kUnderAsan ? 1024 : 256) * 1024;

// The most the kernel may hold of one loopback connection in its buffers: the sender's and the
// receiver's largest TCP buffers (the third figure of tcp_wmem and tcp_rmem). Bytes in them
// count as sent for the server even though the client never reads them.
std::size_t LoopbackBufferBytes() {
  std::size_t total = 0;
  for (const char* path : {"/proc/sys/net/ipv4/tcp_wmem", "/proc/sys/net/ipv4/tcp_rmem"}) {
    std::ifstream file(path);
    std::size_t low = 0, initial = 0, high = 0;
    if (!(file >> low >> initial >> high)) high = 16 * kMiB;
    total += high;
  }
  return total;
}

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Deterministic bytes of every value, with a few of the feed's markers mixed in.
std::string Garbage(std::size_t size, std::uint64_t seed) {
  std::string bytes;
  bytes.reserve(size);
  std::uint64_t state = seed;
  static const std::string kMarkers[] = {"<match>",      "</match>",  "<id>",    "</id>",
                                         "<status>LIVE", "</status>", "<score>", "<radar>",
                                         "<bfpr>",       ">>"};
  while (bytes.size() < size) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    if (state % 97 == 0) {
      bytes += kMarkers[(state >> 8) % std::size(kMarkers)];
    } else {
      bytes.push_back(static_cast<char>(state >> 24));
    }
  }
  bytes.resize(size);
  return bytes;
}

// The boards of one test, with a match already on RX so that "unchanged" can be seen.
struct Boards {
  Boards() {
    const int row = rx.AddRow();
    rx.SetCellText(0, row, "kept");
    rx.SetCellText(col::R_Status, row, "SOON");
  }
  void ExpectConsistent() const {
    EXPECT_EQ(rx.ColumnCount(), col::RxCount);
    EXPECT_EQ(rx2.ColumnCount(), col::BoardCount);
    EXPECT_EQ(liveGrid.ColumnCount(), col::live::Count);
    for (const GridTable* grid : {&rx, &rx2, &liveGrid}) {
      for (int row = 0; row < grid->RowCount(); ++row) {
        const std::vector<int>& rows = grid->RowsWithId(grid->TextView(0, row));
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << grid->Name();
      }
    }
  }
  GridTable rx{"RX", RxColumns()};
  GridTable rx2{"RX2", Rx2Columns()};
  GridTable liveGrid{"LiveGrid", LiveGridColumns()};
  GridTable liveStatGrid{"LiveStatGrid", LiveStatGridColumns()};
  LiveBoards live{rx, rx2, liveGrid, liveStatGrid};
};

// Serves `total` bytes of `pattern` from "/big", made as they go out: the server never holds
// the reply. With `withLength` the size is announced, else the reply is chunked.
class BigReplyServer {
 public:
  BigReplyServer(std::size_t total, bool withLength, std::string pattern = "<match></match>")
      : pattern_(std::move(pattern)) {
    auto provide = [this, total](std::size_t offset, std::size_t /*length*/,
                                 httplib::DataSink& sink) {
      if (offset >= total) {
        sink.done();
        return true;
      }
      std::string chunk;
      const std::size_t size = std::min<std::size_t>(kChunkBytes, total - offset);
      while (chunk.size() < size) chunk += pattern_;
      chunk.resize(size);
      if (!sink.write(chunk.data(), chunk.size())) return false;
      sent_ += chunk.size();
      return true;
    };
    server_.http().Get("/login/zelko.php", [provide, total, withLength](const httplib::Request&,
                                                                        httplib::Response& res) {
      if (withLength) {
        res.set_content_provider(
            total, "text/plain",
            [provide](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
              return provide(offset, length, sink);
            });
      } else {
        res.set_chunked_content_provider("text/plain",
                                         // The offset is what has gone out so far.
                                         [provide](std::size_t offset, httplib::DataSink& sink) {
                                           return provide(offset, 0, sink);
                                         });
      }
    });
    server_.Start();
  }
  std::string Url() const { return server_.Url("/login/zelko.php?login=a&pass=b&menu=today"); }
  std::size_t Sent() const { return sent_; }

 private:
  std::string pattern_;
  std::atomic<std::size_t> sent_{0};
  test::LoopbackServer server_;
};

TEST(HostileService, TheReplyCapIs32MiB) {
  EXPECT_EQ(RequestLimits::Default().maxReplyBytes, 32u * kMiB);
}

TEST(HostileService, AHundredMegabyteReplyWithItsLengthIsRefusedBeforeItsBody) {
  BigReplyServer server(100 * kMiB, /*withLength=*/true);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  const auto start = Clock::now();
  const HttpReply reply = client.Get(server.Url());
  EXPECT_TRUE(reply.failed);
  EXPECT_NE(reply.error.find("too large"), std::string::npos) << reply.error;
  EXPECT_TRUE(reply.body.empty());
  EXPECT_LT(SecondsSince(start), 10.0);
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

TEST(HostileService, AHundredMegabyteChunkedReplyIsCutAtTheCap) {
  BigReplyServer server(100 * kMiB, /*withLength=*/false);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  const auto start = Clock::now();
  const HttpReply reply = client.Get(server.Url());
  EXPECT_TRUE(reply.failed);
  EXPECT_NE(reply.error.find("too large"), std::string::npos) << reply.error;
  EXPECT_TRUE(reply.body.empty());
  EXPECT_LT(SecondsSince(start), 30.0);
  // The transfer stops at the cap: the server got rid of no more than the cap, one of its
  // chunks and what the kernel buffers on the way, far from its 100 MB.
  EXPECT_LT(server.Sent(),
            RequestLimits::Default().maxReplyBytes + kChunkBytes + LoopbackBufferBytes());
  EXPECT_LT(server.Sent(), 100 * kMiB);
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

TEST(HostileService, TheCapItselfIsTheLastSizeAccepted) {
  RequestLimits limits;
  limits.maxReplyBytes = 1 * kMiB;
  for (const bool withLength : {true, false}) {
    BigReplyServer atCap(1 * kMiB, withLength);
    CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
    const HttpReply fits = client.Get(atCap.Url());
    EXPECT_FALSE(fits.failed) << fits.error;
    EXPECT_EQ(fits.body.size(), 1 * kMiB);

    BigReplyServer overCap(1 * kMiB + 1, withLength);
    const HttpReply over = client.Get(overCap.Url());
    EXPECT_TRUE(over.failed) << "with length: " << withLength;
    EXPECT_TRUE(over.body.empty());
  }
}

TEST(HostileService, AnOversizedFeedLeavesTheBoardsAsTheyWere) {
  BigReplyServer server(100 * kMiB, /*withLength=*/false);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  Boards boards;
  EXPECT_FALSE(LoadTodayBoard(boards.rx, client, server.Url(), StatusBoxes{}, 0));
  EXPECT_FALSE(RefreshMoney(boards.rx, boards.rx2, client, server.Url(), {}));
  EXPECT_FALSE(RefreshLive(boards.live, client, server.Url(), false, {}));
  ASSERT_EQ(boards.rx.RowCount(), 1);
  EXPECT_EQ(boards.rx.CellText(0, 0), "kept");
  EXPECT_EQ(boards.rx.CellText(col::R_Status, 0), "SOON");
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

TEST(HostileService, BinaryGarbageRepliesLeaveConsistentBoards) {
  test::LoopbackServer server;
  std::atomic<std::uint64_t> seed{1};
  server.http().Get("/login/zelko.php", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(Garbage(4 * kMiB, seed++), "application/octet-stream");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  const std::string url = server.Url("/login/zelko.php?menu=today");
  Boards boards;
  const auto start = Clock::now();
  for (int pass = 0; pass < 3; ++pass) {
    EXPECT_NO_THROW(LoadTodayBoard(boards.rx, client, url, StatusBoxes{}, 0));
    EXPECT_NO_THROW(RefreshMoney(boards.rx, boards.rx2, client, url, {}));
    EXPECT_NO_THROW(RefreshLive(boards.live, client, url, false, {}));
    boards.ExpectConsistent();
  }
  EXPECT_LT(SecondsSince(start), 60.0);
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

TEST(HostileService, BytesThatAreNoHttpAtAllAreAFailedRequest) {
  test::RawSocketServer server(
      [](int fd, const test::LoggedRequest&) { test::SendAll(fd, Garbage(64 * 1024, 99)); });
  RequestLimits limits;
  limits.stallTimeout = 2s;
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  const auto start = Clock::now();
  const HttpReply reply = client.Get(server.Url("/login/zelko.php?menu=live"));
  EXPECT_TRUE(reply.failed);
  EXPECT_LT(SecondsSince(start), 5.0);
}

TEST(HostileService, AMillionTinyRecordsAreReadInBoundedTimeAndMemory) {
  std::string reply;
  reply.reserve(15 * 1000 * 1000);
  for (int i = 0; i < 1'000'000; ++i) reply += "<match></match>";
  const auto start = Clock::now();
  const auto records = CutRecords(reply);
  // Only the first records up to the bound are read at all.
  EXPECT_EQ(records.size(), kMaxRecordsPerReply);
  std::size_t read = 0;
  for (const std::string_view text : records) {
    if (RecordReader(text).Has("id")) ++read;
  }
  EXPECT_EQ(read, 0u);

  // The same through the network and the three passes.
  BigReplyServer server(reply.size(), /*withLength=*/true);
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  Boards boards;
  EXPECT_TRUE(LoadTodayBoard(boards.rx, client, server.Url(), StatusBoxes{}, 0));
  EXPECT_EQ(boards.rx.RowCount(), 0);  // no record has a status
  EXPECT_TRUE(RefreshMoney(boards.rx, boards.rx2, client, server.Url(), {}));
  EXPECT_LE(boards.rx.RowCount(), 1);  // one match without an ID, met a million times
  EXPECT_TRUE(RefreshLive(boards.live, client, server.Url(), false, {}));
  EXPECT_EQ(boards.liveGrid.RowCount(), 0);
  boards.ExpectConsistent();
  EXPECT_LT(SecondsSince(start), test::kUnderAsan ? 120.0 : 40.0);
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

TEST(HostileService, ThousandsOfRepeatedTagsAreReadOnceEach) {
  std::string record = "<id>first</id>";
  for (int i = 0; i < 20'000; ++i) record += "<id>again</id><s1>";
  for (int i = 0; i < 5'000; ++i) record += "<bfpr><bfpr><last>";
  record += "</bfpr><status>LIVE</status>";
  const RecordReader reader(record);
  EXPECT_EQ(reader.Get("id"), "first");
  EXPECT_FALSE(reader.Has("s1"));
  EXPECT_FALSE(reader.Has("last"));
  EXPECT_EQ(reader.Get("status"), "LIVE");

  // A reply of such records, passed through every reader.
  std::string reply;
  for (int i = 0; i < 40; ++i) {
    reply += "<match><id>" + std::to_string(i % 7) + "</id><status>SOON</status><day>1</day>" +
             record + "</match>";
  }
  test::LoopbackServer server;
  server.http().Get("/login/zelko.php", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(reply, "text/plain");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  const std::string url = server.Url("/login/zelko.php?menu=today");
  Boards boards;
  const auto start = Clock::now();
  EXPECT_TRUE(LoadTodayBoard(boards.rx, client, url, StatusBoxes{}, 0));
  EXPECT_EQ(boards.rx.RowCount(), 40);
  EXPECT_TRUE(RefreshMoney(boards.rx, boards.rx2, client, url, {}));
  EXPECT_TRUE(RefreshLive(boards.live, client, url, false, {}));
  EXPECT_EQ(boards.liveGrid.RowCount(), 7);
  boards.ExpectConsistent();
  EXPECT_LT(SecondsSince(start), 30.0);
}

// Headers, then one byte of the body a second: with a stall time-out shorter than that, the
// request ends after the first silent stretch.
TEST(HostileService, AServiceTricklingOneByteASecondIsCutAtTheStallTimeOut) {
  std::atomic<bool> stop{false};
  test::RawSocketServer server([&](int fd, const test::LoggedRequest&) {
    if (!test::SendAll(fd, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n")) return;
    for (int i = 0; i < 1000 && !stop; ++i) {
      if (!test::SendAll(fd, "<")) return;
      for (int waited = 0; waited < 100 && !stop; ++waited) std::this_thread::sleep_for(10ms);
    }
  });
  RequestLimits limits;
  limits.connectTimeout = 500ms;
  limits.stallTimeout = 700ms;
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  Boards boards;
  const std::string url = server.Url("/login/zelko.php?menu=today");
  const auto start = Clock::now();
  EXPECT_FALSE(LoadTodayBoard(boards.rx, client, url, StatusBoxes{}, 0));
  const double took = SecondsSince(start);
  stop = true;
  EXPECT_LT(took, 3.0);
  EXPECT_EQ(boards.rx.RowCount(), 1);
}

// The status line itself, one byte a second.
TEST(HostileService, AStatusLineTrickledOneByteASecondIsCutAtTheStallTimeOut) {
  std::atomic<bool> stop{false};
  test::RawSocketServer server([&](int fd, const test::LoggedRequest&) {
    for (const char c : std::string("HTTP/1.1 200 OK\r\n")) {
      if (stop || !test::SendAll(fd, std::string(1, c))) return;
      for (int waited = 0; waited < 100 && !stop; ++waited) std::this_thread::sleep_for(10ms);
    }
  });
  RequestLimits limits;
  limits.connectTimeout = 500ms;
  limits.stallTimeout = 700ms;
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  const auto start = Clock::now();
  const HttpReply reply = client.Get(server.Url("/login/zelko.php?menu=live"));
  const double took = SecondsSince(start);
  stop = true;
  EXPECT_TRUE(reply.failed);
  EXPECT_LT(took, 3.0);
}

TEST(HostileService, ASilentPeerIsCutAtTheStallTimeOut) {
  test::RawSocketServer server(
      [](int fd, const test::LoggedRequest&) { test::WaitForPeerClose(fd, 10s); });
  RequestLimits limits;
  limits.stallTimeout = 500ms;
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1", limits);
  const auto start = Clock::now();
  const HttpReply reply = client.Get(server.Url("/login/zelko.php?menu=live"));
  EXPECT_TRUE(reply.failed);
  EXPECT_LT(SecondsSince(start), 2.5);
}

// A reply within the cap whose every record is a new match (about 15 kB of grid per record): a
// reply is read for a bounded number of records, so an 8 MB reply (a quarter of a million records)
// of tiny records cannot take gigabytes, and later refreshes inventing new matches cannot grow the
// board past that bound.
TEST(HostileService, OneReplyCannotGrowTheBoardsWithoutBound) {
  std::string reply;
  for (int i = 0; reply.size() < 8 * kMiB; ++i) {
    reply += "<match><id>" + std::to_string(i) + "</id></match>";
  }
  test::LoopbackServer server;
  server.http().Get("/login/zelko.php", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(reply, "text/plain");
  });
  server.Start();
  CurlHttpClient client(ClientProfile::Form, "IdHTTP1");
  Boards boards;
  RefreshMoney(boards.rx, boards.rx2, client, server.Url("/login/zelko.php?menu=today"), {});
  EXPECT_EQ(static_cast<std::size_t>(boards.rx.RowCount()), kMaxRecordsPerReply);
  EXPECT_EQ(boards.rx.CellText(0, 0), "kept");
  EXPECT_EQ(boards.rx.CellText(0, 1), "0");
  // The next reply's matches are all new ones; the board stays at its bound.
  std::string next;
  for (int i = 0; next.size() < 8 * kMiB; ++i) {
    next += "<match><id>x" + std::to_string(i) + "</id></match>";
  }
  reply = std::move(next);
  RefreshMoney(boards.rx, boards.rx2, client, server.Url("/login/zelko.php?menu=today"), {});
  EXPECT_EQ(static_cast<std::size_t>(boards.rx.RowCount()), kMaxRecordsPerReply);
  EXPECT_LT(test::OwnPeakKb(), kMemoryBoundKb);
}

}  // namespace
}  // namespace zelko
