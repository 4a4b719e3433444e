#include "sim_clock.h"

#include <cmath>
#include <cstdio>

namespace zelko_service {

SimClock::SimClock(double startSeconds, double speed)
    : base_(startSeconds), speed_(speed), anchor_(Steady::now()) {}

double SimClock::Seconds() const {
  std::lock_guard lock(mutex_);
  const std::chrono::duration<double> real = Steady::now() - anchor_;
  return base_ + real.count() * speed_;
}

int SimClock::Minute() const {
  return static_cast<int>(std::floor(Seconds() / 60.0));
}

void SimClock::SetSeconds(double seconds) {
  std::lock_guard lock(mutex_);
  base_ = seconds;
  anchor_ = Steady::now();
}

void SimClock::SetSpeed(double speed) {
  std::lock_guard lock(mutex_);
  const std::chrono::duration<double> real = Steady::now() - anchor_;
  base_ += real.count() * speed_;
  anchor_ = Steady::now();
  speed_ = speed;
}

double SimClock::Speed() const {
  std::lock_guard lock(mutex_);
  return speed_;
}

int ParseClock(const char* text) {
  int hours = 0;
  int minutes = 0;
  char rest = 0;
  if (std::sscanf(text, "%d:%d%c", &hours, &minutes, &rest) != 2) return -1;
  if (hours < 0 || hours > 47 || minutes < 0 || minutes > 59) return -1;
  return hours * 60 + minutes;
}

}  // namespace zelko_service
