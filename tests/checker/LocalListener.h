// A TCP listener on 127.0.0.1 that counts connections and closes each at
// once, so a client that did reach out fails fast instead of waiting. It
// polls every 50 ms, so it ends within that of its destructor.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class LocalListener {
 public:
  LocalListener();
  ~LocalListener();

  // "http://127.0.0.1:PORT/`path`"
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + path; }
  int connections() const { return connections_; }

 private:
  std::intptr_t socket_;
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};
