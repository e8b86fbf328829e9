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

namespace {

struct Winsock {
  decltype(&::WSAStartup) startup;
  decltype(&::socket) open;
  decltype(&::bind) bind;
  decltype(&::listen) listen;
  decltype(&::getsockname) name;
  decltype(&::connect) connect;
  decltype(&::accept) accept;
  decltype(&::send) send;
  decltype(&::recv) recv;
  decltype(&::closesocket) close;
};

template <typename Function>
bool Load(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return function != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  const long megabytes = argc > 1 ? std::atol(argv[1]) : 0;
  const HMODULE module = LoadLibraryA("ws2_32.dll");
  Winsock ws{};
  if (megabytes <= 0 || module == nullptr || !Load(module, "WSAStartup", ws.startup) ||
      !Load(module, "socket", ws.open) || !Load(module, "bind", ws.bind) ||
      !Load(module, "listen", ws.listen) || !Load(module, "getsockname", ws.name) ||
      !Load(module, "connect", ws.connect) || !Load(module, "accept", ws.accept) ||
      !Load(module, "send", ws.send) || !Load(module, "recv", ws.recv) ||
      !Load(module, "closesocket", ws.close)) {
    std::fprintf(stderr, "usage: loopback_send_win MEGABYTES\n");
    return 2;
  }
  WSADATA data;
  if (ws.startup(MAKEWORD(2, 2), &data) != 0) return 1;

  sockaddr_in address{};
  address.sin_family = AF_INET;
  const unsigned char loopback[4] = {127, 0, 0, 1};  // network order, without ws2_32's htonl
  std::memcpy(&address.sin_addr, loopback, sizeof loopback);
  int length = sizeof address;
  const SOCKET listener = ws.open(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (ws.bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ws.listen(listener, 1) != 0 ||
      ws.name(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
    return 1;

  long long received = 0;
  std::thread sink([&] {
    const SOCKET peer = ws.accept(listener, nullptr, nullptr);
    std::vector<char> buffer(1 << 16);
    for (int got; (got = ws.recv(peer, buffer.data(), static_cast<int>(buffer.size()), 0)) > 0;)
      received += got;
    ws.close(peer);
  });
  const SOCKET sender = ws.open(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (ws.connect(sender, reinterpret_cast<sockaddr*>(&address), length) != 0) return 1;
  const std::vector<char> block(1 << 20, 0);
  for (long i = 0; i < megabytes; ++i) {
    for (int sent = 0; sent < static_cast<int>(block.size());) {
      const int now =
          ws.send(sender, block.data() + sent, static_cast<int>(block.size()) - sent, 0);
      if (now <= 0) return 1;
      sent += now;
    }
  }
  ws.close(sender);
  sink.join();
  ws.close(listener);
  std::printf("sent=%lld\n", received);
  return received == megabytes * (1LL << 20) ? 0 : 1;
}
