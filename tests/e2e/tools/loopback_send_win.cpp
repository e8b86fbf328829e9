// loopback_send_win.exe MEGABYTES: sends that many megabytes from one socket to another over
// 127.0.0.1 and reads them back, so that the loopback interface's counters move. Winsock is
// loaded at run time, which keeps the tool to the libraries every tool links.
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

// Declares `name` as a pointer to the ws2_32 function of that name; ends main when it is missing.
#define TRAFIMO_LOAD(name)                                                                         \
  const auto name =                                                                                \
      reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(GetProcAddress(module, #name))); \
  if (name == nullptr) return 2

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 0;
  if (megabytes <= 0) return std::fprintf(stderr, "usage: loopback_send_win MEGABYTES\n"), 2;
  const HMODULE module = LoadLibraryA("ws2_32.dll");
  TRAFIMO_LOAD(WSAStartup);
  TRAFIMO_LOAD(socket);
  TRAFIMO_LOAD(bind);
  TRAFIMO_LOAD(listen);
  TRAFIMO_LOAD(getsockname);
  TRAFIMO_LOAD(connect);
  TRAFIMO_LOAD(accept);
  TRAFIMO_LOAD(send);
  TRAFIMO_LOAD(recv);
  TRAFIMO_LOAD(closesocket);
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1;

  sockaddr_in address{};
  address.sin_family = AF_INET;
  const unsigned char loopback[4] = {127, 0, 0, 1};  // network order, without ws2_32's htonl
  std::memcpy(&address.sin_addr, loopback, sizeof loopback);
  auto* where = reinterpret_cast<sockaddr*>(&address);
  int length = sizeof address;
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (bind(listener, where, length) != 0 || listen(listener, 1) != 0 ||
      getsockname(listener, where, &length) != 0)
    return 1;

  long long received = 0;
  std::thread sink([&] {
    const SOCKET peer = accept(listener, nullptr, nullptr);
    std::vector<char> buffer(1 << 16);
    for (int got; (got = recv(peer, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;)
      received += got;
    closesocket(peer);
  });
  const SOCKET sender = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (connect(sender, where, length) != 0) return 1;
  const std::vector<char> block(1 << 20, 0);
  for (long i = 0; i < megabytes; ++i) {
    for (int sent = 0, now; sent < static_cast<int>(block.size()); sent += now)
      if ((now = send(sender, block.data() + sent, static_cast<int>(block.size()) - sent, 0)) <= 0)
        return 1;
  }
  closesocket(sender);
  sink.join();
  closesocket(listener);
  std::printf("sent=%lld\n", received);
  return received == megabytes * (1LL << 20) ? 0 : 1;
}
