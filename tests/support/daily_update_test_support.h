// For the daily update's tests: a channel site on port 80 of a loopback address of its own that
// answers scripted responses by request line, a small JPEG made by ImageMagick at test time,
// and a TestApp with a channel, the size and speed lists chosen and its journal open.
// Only tests include this.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "form/channel_catalogue.h"
#include "online/daily_update.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/test_app.h"

namespace dova::testing {

inline std::string OkPage(const std::string& body) {
  return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}

// Answers each request by its first line without the version ("GET /potd", "HEAD /a.jpg");
// anything else gets a 404 page.
class ChannelSite {
 public:
  using Handler = LoopbackHttpServer::Handler;

  // Takes the first of 127.0.44.1, .2, ... on which port 80 is free, so that test binaries
  // running at the same time do not meet.
  ChannelSite() {
    for (int x = 1; x <= 250 && !server_; ++x) {
      const std::string address = "127.0.44." + std::to_string(x);
      auto server = std::make_unique<LoopbackHttpServer>(
          address, 80, [this](LoopbackHttpServer::Connection& c) { Serve(c); });
      if (server->Listening()) {
        server_ = std::move(server);
        address_ = address;
      }
    }
  }

  bool Listening() const { return server_ != nullptr; }
  const std::string& Address() const { return address_; }
  std::string Url(const std::string& path) const { return "http://" + address_ + path; }

  void Route(const std::string& requestLine, const std::string& response) {
    Route(requestLine, LoopbackHttpServer::Reply(response));
  }
  void Route(const std::string& requestLine, Handler handler) {
    std::lock_guard<std::mutex> lock(mutex_);
    routes_[requestLine] = std::move(handler);
  }

  // The requests received so far, whole.
  std::vector<std::string> Requests() const {
    return server_ ? server_->Requests() : std::vector<std::string>();
  }
  // Their first lines without " HTTP/1.0".
  std::vector<std::string> RequestLines() const {
    std::vector<std::string> lines;
    for (const std::string& request : Requests()) lines.push_back(RequestLine(request));
    return lines;
  }

  // Stops listening: connections to the address are refused from now on.
  void Stop() { server_.reset(); }

 private:
  static std::string RequestLine(const std::string& request) {
    std::string line = request.substr(0, request.find("\r\n"));
    const std::size_t version = line.rfind(" HTTP/");
    return version == std::string::npos ? line : line.substr(0, version);
  }

  void Serve(LoopbackHttpServer::Connection& connection) {
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      auto it = routes_.find(RequestLine(connection.Request()));
      if (it != routes_.end()) handler = it->second;
    }
    if (handler)
      handler(connection);
    else
      connection.Send(
          "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n"
          "<html><body>Not Found</body></html>");
  }

  std::mutex mutex_;
  std::map<std::string, Handler> routes_;
  std::string address_;
  std::unique_ptr<LoopbackHttpServer> server_;  // last: its thread stops before the routes go
};

// A loopback address in 127.0.45.x on whose port 80 nobody listens at this moment.
inline std::string UnusedLoopbackAddress() {
  for (int x = 1; x <= 250; ++x) {
    const std::string address = "127.0.45." + std::to_string(x);
    LoopbackHttpServer probe(address, 80, [](LoopbackHttpServer::Connection&) {});
    if (probe.Listening()) return address;
  }
  return "127.0.45.1";
}

// "convert" writes a 64 x 48 JPEG into `dir`; its bytes, or "" when ImageMagick is missing
// (and always under Wine, where the Linux tool cannot be started).
inline std::string MakeTestJpeg(const TempDir& dir) {
#ifdef _WIN32
  (void)dir;
  return std::string();
#else
  std::string posix = dir.Path() + "picture.jpg";
  for (char& c : posix)
    if (c == '\\') c = '/';
  const std::string command =
      "convert -size 64x48 gradient:red-blue -quality 90 '" + posix + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return std::string();
  std::string bytes;
  ReadWholeFile(dir.Path() + "picture.jpg", bytes);
  return bytes.size() > 2 && bytes.compare(0, 2, "\xff\xd8") == 0 ? bytes : std::string();
#endif
}

// Width and height from a BMP file's header; false when it is not one.
inline bool ReadBmpSize(const std::string& path, int& width, int& height) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes) || bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0)
    return false;
  auto le32 = [&bytes](std::size_t at) {
    return static_cast<int>(static_cast<unsigned char>(bytes[at]) |
                            static_cast<unsigned char>(bytes[at + 1]) << 8 |
                            static_cast<unsigned char>(bytes[at + 2]) << 16 |
                            static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 3])) << 24);
  };
  width = le32(18);
  height = le32(22);
  return true;
}

class DailyUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(site.Listening()) << "no loopback address 127.0.44.x with port 80 free";
    AppContext& c = app.ctx();
    c.form.ComboBox3.Select(12);  // "5000" kilobytes
    c.form.ComboBox4.Select(4);   // "10" kilobytes per second (the limit is off)
    c.log.Open(c.DataDir + "dova.log");
    UseChannel(site.Url("/potd"));
    pictureUrl = site.Url("/pictures/today.jpg");
  }

  // One channel, current, asking `wpUrl`.
  void UseChannel(const std::string& wpUrl) {
    app.dir.WriteFile("Sites\\channels.ini", "[Site1]\r\nURL=http://site/\r\nWPURL=" + wpUrl +
                                                 "\r\nIMAGE=logo.bmp\r\nENABLED=1\r\n");
    std::unique_ptr<IniFile> ini = OpenIniFile(app.ctx().DataDir + "channels.ini");
    app.ctx().channels.Load(*ini);
  }

  // The page names the picture; HEAD tells its size; GET sends it.
  void PublishPicture(const std::string& picture) {
    site.Route("GET /potd", OkPage("  " + pictureUrl + "\r\n"));
    site.Route("HEAD /pictures/today.jpg",
               "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\n"
               "Content-Length: " +
                   std::to_string(picture.size()) + "\r\n\r\n");
    pictureResponse = "HTTP/1.0 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                      std::to_string(picture.size()) + "\r\n\r\n" + picture;
    site.Route("GET /pictures/today.jpg", pictureResponse);
  }

  // The picture at `path` of the site: HEAD announces `announced` bytes (by default its size),
  // GET sends it.
  void ServePicture(const std::string& path, const std::string& jpeg, long long announced = 0) {
    const std::string length = std::to_string(announced ? announced : jpeg.size());
    site.Route("HEAD " + path, "HTTP/1.0 200 OK\r\nContent-Length: " + length + "\r\n\r\n");
    site.Route("GET " + path, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(jpeg.size()) +
                                  "\r\n\r\n" + jpeg);
  }

  // The journal's lines as "N text" (Notice) or "E text" (Error), without date and time.
  std::vector<std::string> LogLines() {
    std::string contents;
    ReadWholeFile(app.ctx().DataDir + "dova.log", contents);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
      std::size_t end = contents.find('\n', start);
      if (end == std::string::npos) end = contents.size();
      std::string line = contents.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t notice = line.find(" NOTICE "), error = line.find(" ERROR  ");
      if (notice != std::string::npos && (error == std::string::npos || notice < error))
        lines.push_back("N " + line.substr(notice + 8));
      else if (error != std::string::npos)
        lines.push_back("E " + line.substr(error + 8));
      start = end + 1;
    }
    return lines;
  }

  std::string P(const char* key) { return app.ctx().Phrase(key); }
  std::string DataFile(const std::string& name) { return app.ctx().DataDir + name; }

  ChannelSite site;
  TestApp app;
  std::string pictureUrl;
  std::string pictureResponse;  // what PublishPicture answers to the picture's GET
};

}  // namespace dova::testing
