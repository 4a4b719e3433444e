#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace zelko_service {

// The ways a reply can go wrong, in the order in which they take turns.
enum class Fault {
  kNone,
  kServerError,  // status 500
  kStall,        // nothing for longer than the monitor waits for a byte, then the reply
  kCutShort,     // Content-Length promises more than is sent, then the connection closes
  kDropped,      // the connection closes without a byte of reply
  kGarbage,      // bytes that are no HTTP at all, then the connection closes
};
const char* FaultName(Fault fault);

// Decides which requests get a fault and carries it out. The choice is deterministic, so that a
// test can see every kind: of n requests exactly floor(n * rate) get one, and the kinds cycle.
class FaultPlan {
 public:
  FaultPlan(double rate, double stallSeconds);

  Fault Next();

  // Turns the prepared reply into the faulty one. A stall blocks the calling server thread
  // until the delay has passed or Cancel is called.
  void Apply(Fault fault, const httplib::Request& request, httplib::Response& response);

  // Ends every stall now and any later one at once; used when the server stops.
  void Cancel();

 private:
  std::uint64_t perMillion_;
  double stallSeconds_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool cancelled_ = false;
  std::uint64_t requests_ = 0;
  std::uint64_t faults_ = 0;
};

}  // namespace zelko_service
