// Schannel (SSPI) behind platform/tls_stream.h: the handshake, the records both ways, the
// renegotiations the server starts and the close_notify at the end. The certificate check is
// platform/win32/tls_certificate_check.cpp's.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/tls_stream.h"
#include "platform/win32/registry.h"
#include "platform/win32/schannel_api.h"
#include "platform/win32/sspi_handles.h"
#include "platform/win32/tls_certificate_check.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

constexpr DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                  ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

// The certificate is ours to check; no client certificate is offered.
constexpr DWORD kCredentialFlags =
    SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS | SCH_USE_STRONG_CRYPTO;

// Received bytes are asked of the transport in pieces this large: as many records as have come,
// in few calls (each costs a trip to the Wine server under Wine). A reader that takes its bytes
// slowly still leaves them to TCP's flow control: more is read only when no whole record waits.
constexpr std::size_t kReadSize = 1024 * 1024;
// No record or handshake message comes near this; a server that sends more without letting a
// record complete is refused rather than buffered without end.
constexpr std::size_t kMaxPending = 4 * 1024 * 1024;
// The content type of a TLS 1.2 record that carries an alert.
constexpr char kAlertRecord = 21;

// TLS 1.2 and 1.3 through SCH_CREDENTIALS where Windows knows it; older systems refuse it, and
// get TLS 1.2 through SCHANNEL_CRED. CheckProtocol holds the line where the list is ignored.
bool AcquireCredentials(CredentialsHandle& credentials, std::string& detail) {
  TLS_PARAMETERS tlsParameters = {};
  tlsParameters.grbitDisabledProtocols =
      static_cast<DWORD>(~(SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT));
  SCH_CREDENTIALS modern = {};
  modern.dwVersion = SCH_CREDENTIALS_VERSION;
  modern.dwFlags = kCredentialFlags;
  modern.cTlsParameters = 1;
  modern.pTlsParameters = &tlsParameters;
  SECURITY_STATUS status =
      AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                nullptr, &modern, nullptr, nullptr, credentials.ToFill(), nullptr);
  if (status == SEC_E_OK) return true;

  SCHANNEL_CRED legacy = {};
  legacy.dwVersion = SCHANNEL_CRED_VERSION;
  legacy.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
  legacy.dwFlags = kCredentialFlags;
  status =
      AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W), SECPKG_CRED_OUTBOUND,
                                nullptr, &legacy, nullptr, nullptr, credentials.ToFill(), nullptr);
  if (status == SEC_E_OK) return true;
  detail = SystemErrorText(static_cast<unsigned long>(status));
  return false;
}

SecBuffer Buffer(unsigned long type, void* data = nullptr, std::size_t size = 0) {
  SecBuffer buffer;
  buffer.BufferType = type;
  buffer.pvBuffer = data;
  buffer.cbBuffer = static_cast<unsigned long>(size);
  return buffer;
}

class SchannelStream final : public ByteStream {
 public:
  SchannelStream(ByteStream& transport, const std::string& hostName)
      : transport_(transport), hostName_(hostName), targetName_(Wide(hostName)) {}
  ~SchannelStream() override { SendCloseNotify(); }

  // Handshake and certificate check; the stream is usable when this gives None.
  TlsFailure Open(std::string& detail) {
    if (!AcquireCredentials(credentials_, detail)) return TlsFailure::Unavailable;
    TlsFailure failure = Handshake(detail);
    if (failure == TlsFailure::None) failure = CheckProtocol(detail);
    if (failure == TlsFailure::None) failure = CheckCertificate(detail);
    if (failure == TlsFailure::None &&
        QueryContextAttributesW(context_.Get(), SECPKG_ATTR_STREAM_SIZES, &sizes_) != SEC_E_OK) {
      detail = "no stream sizes";
      failure = TlsFailure::HandshakeFailed;
    }
    state_ = failure == TlsFailure::None ? State::Open : State::Broken;
    return failure;
  }

  bool SendAll(const char* data, std::size_t count) override {
    std::vector<char> message;
    while (count > 0) {
      if (state_ == State::Broken) return false;
      const std::size_t piece = count < sizes_.cbMaximumMessage ? count : sizes_.cbMaximumMessage;
      message.resize(sizes_.cbHeader + piece + sizes_.cbTrailer);
      std::memcpy(message.data() + sizes_.cbHeader, data, piece);
      SecBuffer buffers[4] = {Buffer(SECBUFFER_STREAM_HEADER, message.data(), sizes_.cbHeader),
                              Buffer(SECBUFFER_DATA, message.data() + sizes_.cbHeader, piece),
                              Buffer(SECBUFFER_STREAM_TRAILER,
                                     message.data() + sizes_.cbHeader + piece, sizes_.cbTrailer),
                              Buffer(SECBUFFER_EMPTY)};
      SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
      if (EncryptMessage(context_.Get(), 0, &description, 0) != SEC_E_OK) {
        state_ = State::Broken;
        return false;
      }
      // The three parts lie one after the other; the trailer may come out shorter.
      if (!transport_.SendAll(message.data(),
                              buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer)) {
        state_ = State::Broken;
        return false;
      }
      data += piece;
      count -= piece;
    }
    return true;
  }

  int Receive(char* buffer, int count) override {
    for (;;) {
      if (plainSize_ > 0) {
        std::size_t n = plainSize_ < static_cast<std::size_t>(count) ? plainSize_ : count;
        std::memcpy(buffer, plain_, n);
        plain_ += n;
        plainSize_ -= n;
        return static_cast<int>(n);
      }
      if (state_ == State::Closed) return 0;
      if (state_ == State::Broken) return -1;
      if (pendingSize_ > 0 && DecryptPending()) continue;
      // A TCP close without close_notify is no orderly end: the body may have been cut.
      if (ReadMore() <= 0) state_ = State::Broken;
    }
  }

 private:
  enum class State { Handshaking, Open, Closed, Broken };

  char* Pending() { return pending_.data() + pendingStart_; }

  // Appends what the transport gives to the pending encrypted bytes; its result as Receive's.
  // Moves the pending bytes (a part of one record, as a rule) to the front first.
  int ReadMore() {
    if (pendingSize_ + kReadSize > kMaxPending) return -1;
    if (pendingStart_ > 0) {
      std::memmove(pending_.data(), Pending(), pendingSize_);
      pendingStart_ = 0;
    }
    if (pending_.size() < pendingSize_ + kReadSize) pending_.resize(pendingSize_ + kReadSize);
    const int n = transport_.Receive(Pending() + pendingSize_, static_cast<int>(kReadSize));
    if (n > 0) pendingSize_ += static_cast<std::size_t>(n);
    return n;
  }

  // Keeps the last `extra` pending bytes, which the security package has not used.
  void KeepExtra(const SecBuffer& extraBuffer) {
    std::size_t extra = extraBuffer.BufferType == SECBUFFER_EXTRA ? extraBuffer.cbBuffer : 0;
    if (extra > pendingSize_) extra = 0;
    pendingStart_ = extra > 0 ? pendingStart_ + pendingSize_ - extra : 0;
    pendingSize_ = extra;
  }

  // Runs InitializeSecurityContext until the handshake is done, from the first ClientHello or,
  // after a renegotiation request, from the pending bytes.
  TlsFailure Handshake(std::string& detail) {
    if (pending_.empty()) pending_.resize(kReadSize);
    bool withInput = context_.IsValid();  // the first call has nothing from the server
    for (;;) {
      const bool haveContext = context_.IsValid();
      SecHandle* const current = haveContext ? context_.Get() : nullptr;
      SecHandle* const next = haveContext ? context_.Get() : context_.ToFill();
      SecBuffer input[2] = {Buffer(SECBUFFER_TOKEN, Pending(), pendingSize_),
                            Buffer(SECBUFFER_EMPTY)};
      SecBufferDesc inputDescription = {SECBUFFER_VERSION, 2, input};
      SecBuffer output[1] = {Buffer(SECBUFFER_TOKEN)};
      SecBufferDesc outputDescription = {SECBUFFER_VERSION, 1, output};
      unsigned long attributes = 0;
      const SECURITY_STATUS status =
          InitializeSecurityContextW(credentials_.Get(), current, &targetName_[0], kContextRequest,
                                     0, 0, withInput ? &inputDescription : nullptr, 0, next,
                                     &outputDescription, &attributes, nullptr);
      const ContextBuffer token(output[0].pvBuffer);
      if (status == SEC_E_INCOMPLETE_MESSAGE) {
        const int n = ReadMore();
        if (n <= 0) {
          detail = n == 0 ? "the server closed the connection" : "the connection failed";
          return TlsFailure::HandshakeFailed;
        }
        continue;
      }
      if (token && output[0].cbBuffer > 0 &&
          !transport_.SendAll(static_cast<const char*>(token.get()), output[0].cbBuffer)) {
        detail = "the connection failed";
        return TlsFailure::HandshakeFailed;
      }
      if (FAILED(status)) {
        detail = SystemErrorText(static_cast<unsigned long>(status));
        return TlsFailure::HandshakeFailed;
      }
      // Asked for a client certificate: the next call goes on without one, on the same input.
      if (status == SEC_I_INCOMPLETE_CREDENTIALS) continue;
      if (withInput) KeepExtra(input[1]);
      withInput = true;
      if (status == SEC_E_OK) return TlsFailure::None;  // what is left is the first records
      if (status != SEC_I_CONTINUE_NEEDED) {
        detail = SystemErrorText(static_cast<unsigned long>(status));
        return TlsFailure::HandshakeFailed;
      }
      if (pendingSize_ == 0) {
        const int n = ReadMore();
        if (n <= 0) {
          detail = n == 0 ? "the server closed the connection" : "the connection failed";
          return TlsFailure::HandshakeFailed;
        }
      }
    }
  }

  // TLS 1.2 or later only. Wine's Schannel passes over the protocols SCH_CREDENTIALS disables
  // and offers TLS 1.0 and 1.1 too: a server that picks one of them is refused here.
  TlsFailure CheckProtocol(std::string& detail) {
    SecPkgContext_ConnectionInfo info = {};
    if (QueryContextAttributesW(context_.Get(), SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK) {
      detail = "no connection information";
      return TlsFailure::HandshakeFailed;
    }
    if ((info.dwProtocol & (SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT)) == 0) {
      char protocol[64];
      std::snprintf(protocol, sizeof protocol, "the server offers only an old protocol (0x%lX)",
                    static_cast<unsigned long>(info.dwProtocol));
      detail = protocol;
      return TlsFailure::HandshakeFailed;
    }
    return TlsFailure::None;
  }

  // Checks the server's certificate unless it is the one checked before (a renegotiation or a
  // TLS 1.3 session ticket keeps it).
  TlsFailure CheckCertificate(std::string& detail) {
    PCCERT_CONTEXT raw = nullptr;
    if (QueryContextAttributesW(context_.Get(), SECPKG_ATTR_REMOTE_CERT_CONTEXT, &raw) !=
            SEC_E_OK ||
        raw == nullptr) {
      detail = "the server sent no certificate";
      return TlsFailure::NotTrusted;
    }
    CertificatePtr certificate(raw);
    if (checked_ &&
        CertCompareCertificate(X509_ASN_ENCODING, checked_->pCertInfo, certificate->pCertInfo))
      return TlsFailure::None;
    const TlsFailure failure = CheckServerCertificate(certificate.get(), hostName_, detail);
    if (failure == TlsFailure::None) checked_ = std::move(certificate);
    return failure;
  }

  // Decrypts the first pending record in place and points plain_ at its data. False when the
  // record is still incomplete.
  bool DecryptPending() {
    SecBuffer buffers[4] = {Buffer(SECBUFFER_DATA, Pending(), pendingSize_),
                            Buffer(SECBUFFER_EMPTY), Buffer(SECBUFFER_EMPTY),
                            Buffer(SECBUFFER_EMPTY)};
    SecBufferDesc description = {SECBUFFER_VERSION, 4, buffers};
    const bool alertRecord = Pending()[0] == kAlertRecord;
    const SECURITY_STATUS status = DecryptMessage(context_.Get(), &description, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return false;
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED) {
      state_ = State::Broken;
      return true;
    }
    SecBuffer extra = Buffer(SECBUFFER_EMPTY);
    for (const SecBuffer& b : buffers) {
      if (b.BufferType == SECBUFFER_DATA && b.cbBuffer > 0) {
        plain_ = static_cast<const char*>(b.pvBuffer);
        plainSize_ = b.cbBuffer;
      } else if (b.BufferType == SECBUFFER_EXTRA) {
        extra = b;
      }
    }
    KeepExtra(extra);
    // Wine's Schannel reports the server's close_notify as an alert record that decrypts to
    // nothing, not as SEC_I_CONTEXT_EXPIRED. An alert that decrypted is the server's own: a
    // truncation by anybody else fails to decrypt.
    const bool wineCloseNotify = status == SEC_E_OK && alertRecord && plainSize_ == 0;
    if (status == SEC_I_CONTEXT_EXPIRED || wineCloseNotify) {
      state_ = State::Closed;  // the server's close_notify
    } else if (status == SEC_I_RENEGOTIATE) {
      // The server asks for a new handshake (TLS 1.2) or, on Windows 11, sent a TLS 1.3
      // post-handshake message such as a session ticket; either goes through
      // InitializeSecurityContext with the bytes that follow. Wine 8's Schannel cannot start a
      // new handshake there: it waits for server bytes that do not come, and the transport's
      // time-out ends the stream in an error.
      std::string detail;
      if (Handshake(detail) != TlsFailure::None || CheckCertificate(detail) != TlsFailure::None)
        state_ = State::Broken;
    }
    return true;
  }

  void SendCloseNotify() {
    if (state_ == State::Broken || state_ == State::Handshaking || !context_.IsValid()) return;
    DWORD type = SCHANNEL_SHUTDOWN;
    SecBuffer control[1] = {Buffer(SECBUFFER_TOKEN, &type, sizeof type)};
    SecBufferDesc controlDescription = {SECBUFFER_VERSION, 1, control};
    if (ApplyControlToken(context_.Get(), &controlDescription) != SEC_E_OK) return;
    SecBuffer output[1] = {Buffer(SECBUFFER_TOKEN)};
    SecBufferDesc outputDescription = {SECBUFFER_VERSION, 1, output};
    unsigned long attributes = 0;
    InitializeSecurityContextW(credentials_.Get(), context_.Get(), &targetName_[0], kContextRequest,
                               0, 0, nullptr, 0, context_.Get(), &outputDescription, &attributes,
                               nullptr);
    const ContextBuffer token(output[0].pvBuffer);
    if (token && output[0].cbBuffer > 0)
      transport_.SendAll(static_cast<const char*>(token.get()), output[0].cbBuffer);
  }

  ByteStream& transport_;
  const std::string hostName_;
  std::wstring targetName_;
  CredentialsHandle credentials_;
  SecurityContextHandle context_;
  SecPkgContext_StreamSizes sizes_ = {};
  CertificatePtr checked_;  // the server certificate that passed the check
  State state_ = State::Handshaking;
  // Received, not yet decrypted: pendingSize_ bytes from pendingStart_ on.
  std::vector<char> pending_;
  std::size_t pendingStart_ = 0;
  std::size_t pendingSize_ = 0;
  // Decrypted in place in pending_, not yet given out; kept there until the next ReadMore.
  const char* plain_ = nullptr;
  std::size_t plainSize_ = 0;
};

}  // namespace

TlsSession StartTls(ByteStream& transport, const std::string& hostName) {
  auto stream = std::make_unique<SchannelStream>(transport, hostName);
  TlsSession session;
  session.failure = stream->Open(session.detail);
  if (session.failure == TlsFailure::None) session.stream = std::move(stream);
  return session;
}

}  // namespace dova
