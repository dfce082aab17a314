// Owners for the handles of Schannel sessions and certificate checks: the credentials, the
// security context, buffers the security package allocated, a certificate and a chain. Each frees
// its handle once, in its destructor; all are movable, none copyable.
#pragma once

#include <memory>
#include <utility>

#include "platform/win32/schannel_api.h"

namespace dova {

// A CredHandle or CtxtHandle with the function that frees it.
template <SECURITY_STATUS(SEC_ENTRY* Free)(PSecHandle)>
class SspiHandle {
 public:
  SspiHandle() { SecInvalidateHandle(&handle_); }
  ~SspiHandle() { Reset(); }
  SspiHandle(SspiHandle&& other) noexcept : handle_(other.handle_) {
    SecInvalidateHandle(&other.handle_);
  }
  SspiHandle& operator=(SspiHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  SspiHandle(const SspiHandle&) = delete;
  SspiHandle& operator=(const SspiHandle&) = delete;

  bool IsValid() const { return SecIsValidHandle(&handle_); }
  SecHandle* Get() { return &handle_; }
  // For a function that fills the handle in; whatever was held is freed first.
  SecHandle* ToFill() {
    Reset();
    return &handle_;
  }
  void Reset() {
    if (IsValid()) Free(&handle_);
    SecInvalidateHandle(&handle_);
  }

 private:
  SecHandle handle_;
};

using CredentialsHandle = SspiHandle<FreeCredentialsHandle>;
using SecurityContextHandle = SspiHandle<DeleteSecurityContext>;

struct ContextBufferFree {
  void operator()(void* buffer) const { FreeContextBuffer(buffer); }
};
// A buffer that the security package allocated (ISC_REQ_ALLOCATE_MEMORY).
using ContextBuffer = std::unique_ptr<void, ContextBufferFree>;

struct CertificateFree {
  void operator()(PCCERT_CONTEXT certificate) const { CertFreeCertificateContext(certificate); }
};
using CertificatePtr = std::unique_ptr<const CERT_CONTEXT, CertificateFree>;

struct ChainFree {
  void operator()(PCCERT_CHAIN_CONTEXT chain) const { CertFreeCertificateChain(chain); }
};
using ChainPtr = std::unique_ptr<const CERT_CHAIN_CONTEXT, ChainFree>;

}  // namespace dova
