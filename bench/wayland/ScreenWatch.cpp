#include "ScreenWatch.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "ChildProcess.h"

namespace waylandtiming {

using desktoptiming::now;

namespace {

bool samePixel(std::uint32_t expected, std::uint32_t actual) {
  for (int shift : {16, 8, 0}) {
    if (std::abs(static_cast<int>((expected >> shift) & 0xFF) - static_cast<int>((actual >> shift) & 0xFF)) > 1) {
      return false;
    }
  }
  return true;
}

double waitFor(ScreenWatch& watch, const std::function<bool(const Samples&)>& condition, double deadline) {
  while (now() < deadline) {
    double presentedAt = 0;
    if (condition(watch.samples(&presentedAt))) {
      return presentedAt;
    }
  }
  return -1;
}

}  // namespace

bool sameSamples(const Samples& expected, const Samples& actual) {
  if (expected.size() != actual.size()) {
    return false;
  }
  for (std::size_t index = 0; index < expected.size(); ++index) {
    if (!samePixel(expected[index], actual[index])) {
      return false;
    }
  }
  return true;
}

ScreenWatch::ScreenWatch(WaylandConnection& connection, const Box& area, std::vector<ScreenPoint> points)
    : connection_(connection), points_(std::move(points)), box_(area) {}

Samples ScreenWatch::samples(double* presentedAt) {
  if (check_) {
    check_();
  }
  const Frame& frame = connection_.capture(box_);
  if (presentedAt) {
    *presentedAt = frame.presentedAt;
  }
  Samples result;
  result.reserve(points_.size());
  for (const ScreenPoint& point : points_) {
    result.push_back(frame.at(point.x, point.y));
  }
  return result;
}

double ScreenWatch::waitUntilEqual(const Samples& expected, double deadline) {
  return waitFor(*this, [&](const Samples& current) { return sameSamples(expected, current); }, deadline);
}

double ScreenWatch::waitUntilChanged(const Samples& shown, double deadline) {
  return waitFor(*this, [&](const Samples& current) { return !sameSamples(shown, current); }, deadline);
}

double ScreenWatch::waitUntilAllDiffer(const Samples& bare, double deadline) {
  return waitFor(
      *this,
      [&](const Samples& current) {
        for (std::size_t index = 0; index < current.size(); ++index) {
          if (samePixel(bare[index], current[index])) {
            return false;
          }
        }
        return true;
      },
      deadline);
}

Samples ScreenWatch::settledSamples(const Samples& bare, double quiet, double deadline) {
  if (waitUntilAllDiffer(bare, deadline) < 0) {
    return {};
  }
  Samples last = samples();
  double since = now();
  while (now() < deadline) {
    desktoptiming::sleepFor(0.05);
    Samples current = samples();
    if (current != last) {
      last = current;
      since = now();
    } else if (now() - since >= quiet) {
      return last;
    }
  }
  return {};
}

}  // namespace waylandtiming
