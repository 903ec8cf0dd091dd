#include "cli/through_com/through_com.h"

#include <objbase.h>

#include "com/stand_in/server_connection.h"
#include "com/stand_in/stand_in.h"

namespace quillary::cli {

namespace {

// COM on this thread for the connection's life (a single-threaded apartment, as the
// host add-in's).
class Apartment {
 public:
  Apartment() { com::testing::Check("CoInitializeEx", CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
  ~Apartment() { CoUninitialize(); }
  Apartment(const Apartment&) = delete;
  Apartment& operator=(const Apartment&) = delete;
};

class ComConnection final : public Connection {
 public:
  ComConnection() {
    // The system's clipboard outlives a run: each run starts with it empty, as the
    // session's own clipboard does.
    clipboard_.Clear();
  }
  ~ComConnection() override {
    // The server lets go of the application before its adapters go.
    server_.reset();
  }

  void SetApplication(xl::Application& app) override {
    auto standIn = std::make_unique<com::testing::StandIn>(app);
    IDispatch* application = standIn->Application();
    try {
      server_->SetExcelApp(application);
    } catch (...) {
      application->Release();
      throw;
    }
    application->Release();
    standIn_ = std::move(standIn);
  }
  void Call(const forms::HostForms& forms, Text& mode, Text& routine) override {
    server_->QuillaryDLL(*standIn_, forms, mode, routine);
  }
  void Event(Text& name) override { server_->QuillaryQueryFormDLL(name); }
  sys::Clipboard& Clipboard() override { return clipboard_; }

 private:
  Apartment apartment_;
  sys::WindowsClipboard clipboard_;
  std::unique_ptr<com::testing::StandIn> standIn_;
  std::unique_ptr<com::testing::ServerConnection> server_ = std::make_unique<com::testing::ServerConnection>();
};

}  // namespace

std::unique_ptr<Connection> ConnectThroughCom() { return std::make_unique<ComConnection>(); }

}  // namespace quillary::cli
