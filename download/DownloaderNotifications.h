#pragma once

// Names and user-info keys of the downloader's done notifications, shared by the downloader
// and every observer.

// Done notification of the run that fetches the runtime installer and its signature.
inline constexpr const char* INSTALLER_DOWNLOAD_NOTIFY_DONE = "InstallerDownloadDone";
// Done notification of the run that fetches certificate revocation lists.
inline constexpr const char* CRL_DOWNLOAD_NOTIFY_DONE = "CrlDownloadDone";
// User-info key of the run's result (a boolean).
inline constexpr const char* DOWNLOADER_KEY_SUCCESS = "DownloaderKeySuccess";
// User-info key of the paths created by the run, in creation order (a list of strings).
inline constexpr const char* DOWNLOADER_KEY_FILES = "DownloaderKeyFiles";
// User-info key telling whether the person cancelled the run (a boolean). A cancelled run also
// reports failure; this tells it apart from a run whose transfers failed.
inline constexpr const char* DOWNLOADER_KEY_CANCELLED = "DownloaderKeyCancelled";
