#include "platform/win32/tls_certificate_check.h"

#include <cstdio>

#include "platform/win32/registry.h"
#include "platform/win32/sspi_handles.h"
#include "platform/win32/wide_text.h"

namespace dova {

namespace {

// The revocation servers of a chain together get this long; past it the check goes on without
// them.
constexpr DWORD kRevocationTimeoutMs = 10000;

TlsFailure FailureOfPolicyError(DWORD error) {
  switch (static_cast<HRESULT>(error)) {
    case CERT_E_EXPIRED:
    case CERT_E_VALIDITYPERIODNESTING:
      return TlsFailure::Expired;
    case CERT_E_CN_NO_MATCH:
      return TlsFailure::WrongName;
    case CRYPT_E_REVOKED:
      return TlsFailure::Revoked;
    case CERT_E_WRONG_USAGE:
    case CERT_E_PURPOSE:
      return TlsFailure::NotForServers;
    default:  // untrusted root, broken chain, bad signature, and anything unforeseen
      return TlsFailure::NotTrusted;
  }
}

TlsFailure FailureOfTrustStatus(DWORD status) {
  if (status & CERT_TRUST_IS_REVOKED) return TlsFailure::Revoked;
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) return TlsFailure::Expired;
  if (status & (CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC))
    return TlsFailure::NotTrusted;
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return TlsFailure::NotForServers;
  return TlsFailure::None;
}

// Builds the chain of `certificate` (with the revocation check when `revocation`) and runs the SSL
// policy on it for `wideHost`. False when the system could not do either; otherwise `status`
// gets the chain's findings and `error` the policy's verdict.
bool VerifyChain(PCCERT_CONTEXT certificate, std::wstring& wideHost, bool revocation, DWORD& status,
                 DWORD& error) {
  LPSTR serverUsages[] = {const_cast<LPSTR>(szOID_PKIX_KP_SERVER_AUTH)};
  CERT_CHAIN_PARA chainPara = {};
  chainPara.cbSize = sizeof chainPara;
  chainPara.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainPara.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainPara.RequestedUsage.Usage.rgpszUsageIdentifier = serverUsages;
  chainPara.dwUrlRetrievalTimeout = kRevocationTimeoutMs;
  const DWORD flags = revocation ? CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT |
                                       CERT_CHAIN_REVOCATION_ACCUMULATIVE_TIMEOUT
                                 : 0;
  PCCERT_CHAIN_CONTEXT rawChain = nullptr;
  if (!CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainPara,
                               flags, nullptr, &rawChain)) {
    error = GetLastError();
    return false;
  }
  const ChainPtr chain(rawChain);
  status = chain->TrustStatus.dwErrorStatus;

  SSL_EXTRA_CERT_CHAIN_POLICY_PARA sslPara = {};
  sslPara.cbSize = sizeof sslPara;
  sslPara.dwAuthType = AUTHTYPE_SERVER;
  sslPara.pwszServerName = &wideHost[0];
  CERT_CHAIN_POLICY_PARA policyPara = {};
  policyPara.cbSize = sizeof policyPara;
  // Revocation is best effort: a revoked certificate is refused, a revocation server that cannot
  // be reached is not.
  policyPara.dwFlags = CERT_CHAIN_POLICY_IGNORE_ALL_REV_UNKNOWN_FLAGS;
  policyPara.pvExtraPolicyPara = &sslPara;
  CERT_CHAIN_POLICY_STATUS policyStatus = {};
  policyStatus.cbSize = sizeof policyStatus;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policyPara,
                                        &policyStatus)) {
    error = GetLastError();
    return false;
  }
  error = policyStatus.dwError;
  return true;
}

bool IsUnknownRevocation(DWORD error) {
  switch (static_cast<HRESULT>(error)) {
    case CERT_E_REVOCATION_FAILURE:
    case CRYPT_E_REVOCATION_OFFLINE:
    case CRYPT_E_NO_REVOCATION_CHECK:
      return true;
    default:
      return false;
  }
}

// A text for the journal: the system's words, with the code, which Wine often has no words for.
std::string ErrorDetail(DWORD error) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(error));
  return SystemErrorText(error) + " (" + code + ")";
}

}  // namespace

TlsFailure CheckServerCertificate(PCCERT_CONTEXT serverCertificate, const std::string& hostName,
                                  std::string& detail) {
  std::wstring wideHost = Wide(hostName);
  DWORD status = 0, error = 0;
  if (!VerifyChain(serverCertificate, wideHost, true, status, error)) {
    detail = ErrorDetail(error);
    return TlsFailure::NotTrusted;
  }
  if (status & CERT_TRUST_IS_REVOKED) {
    detail = ErrorDetail(static_cast<DWORD>(CRYPT_E_REVOKED));
    return TlsFailure::Revoked;
  }
  // Wine's SSL policy ignores the flags that pass over unknown revocation and stops at it,
  // before the name check: the verdict then comes from the same chain built without revocation.
  if (IsUnknownRevocation(error) &&
      !VerifyChain(serverCertificate, wideHost, false, status, error)) {
    detail = ErrorDetail(error);
    return TlsFailure::NotTrusted;
  }
  if (error != 0) {
    detail = ErrorDetail(error);
    return FailureOfPolicyError(error);
  }
  // The chain's own findings, for what the policy passes over.
  const TlsFailure failure = FailureOfTrustStatus(status);
  if (failure != TlsFailure::None) detail = "certificate chain status " + ErrorDetail(status);
  return failure;
}

}  // namespace dova
