#include "LocalListener.h"

#ifdef _WIN32
#include <winsock2.h>
using SocketLength = int;
#else
#include <arpa/inet.h>
#include <sys/select.h>
#include <unistd.h>
#define closesocket close
using SocketLength = socklen_t;
#endif

LocalListener::LocalListener() {
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
#endif
  socket_ = static_cast<std::intptr_t>(::socket(AF_INET, SOCK_STREAM, 0));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  SocketLength length = sizeof address;
  bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
  listen(socket_, 8);
  getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] {
    while (!stopping_) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(socket_, &readable);
      timeval wait{0, 50000};
      if (select(static_cast<int>(socket_ + 1), &readable, nullptr, nullptr, &wait) > 0) {
        closesocket(accept(socket_, nullptr, nullptr));
        ++connections_;
      }
    }
  });
}

LocalListener::~LocalListener() {
  stopping_ = true;
  thread_.join();
  closesocket(socket_);
}
