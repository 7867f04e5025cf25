#pragma once

// Name and user-info key of the verifier's result notification, shared by the verifier and
// its observers. The notification's object is the verifier that sends it.

// Posted once per verification, when the main loop is idle.
inline constexpr const char* SIGNATURE_VERIFY_NOTIFY_DONE = "SignatureVerifyDone";
// User-info key of the result (a bool): true when the file is authentic.
inline constexpr const char* SIGNATURE_KEY_IS_VALID = "SignatureKeyIsValid";
