#pragma once

#include <chrono>
#include <mutex>

namespace zelko_service {

// The simulated time of day: it starts at a given second and runs at a given number of
// simulated seconds per real second (0 freezes it). Tests and the hidden clock route may set it.
class SimClock {
 public:
  SimClock(double startSeconds, double speed);

  // Simulated seconds after the simulated day's midnight; it does not wrap at 24:00.
  double Seconds() const;
  // Whole simulated minutes: replies use this, so that they stay alike within a minute.
  int Minute() const;
  void SetSeconds(double seconds);
  void SetSpeed(double speed);
  double Speed() const;

 private:
  using Steady = std::chrono::steady_clock;
  mutable std::mutex mutex_;
  double base_;  // simulated seconds at anchor_
  double speed_;
  Steady::time_point anchor_;
};

// "HH:MM" to minutes; -1 when the text is not such a time.
int ParseClock(const char* text);

}  // namespace zelko_service
