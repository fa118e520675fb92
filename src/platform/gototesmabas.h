#pragma once
// The launchers: the help file, the maker's web pages and a new mail to an address, each handed
// to the desktop (win::ShellExecute) without waiting for the program that opens it. They are
// shared by every window (the main window's Help menu and pictures, the about and support
// boxes), so they live here; playing the browser's file (PlaySelectedFile) reads the browser and
// lives with the main window.
#include <QString>

namespace kivro {

// The maker's web site (scheme and host, no trailing "/") and its support mail address, chosen
// when the program is built (CMake cache values KIVRO_MAKER_SITE and KIVRO_SUPPORT_MAIL).
QString MakerSite();
QString SupportMailAddress();

namespace gototesmabas {

// The help file: the HTML manual Kivro.html in the program folder (gAppPath).
QString HelpFilePath();

// Hands a local file to the desktop. A file that does not exist is not handed on: the box
// "'<path>' was not found!" (critical, OK, top-most; answer in gMsgResult) says so. Any other
// failure (no program for the file) passes without a word.
void OpenFileOrReportMissing(const QString& path);

// Opens the help file (HelpFilePath), or reports it missing as above.
void OpenHelpFile();
// A new mail to `address` ("mailto:" + address); failures pass without a word.
void SendMailTo(const QString& address);
// The addresses of the maker's pages: home ("/"), support ("/support"), FAQ ("/faq") and the
// product page ("/kivro"), each under MakerSite().
QString HomePageAddress();
QString SupportPageAddress();
QString FAQPageAddress();
QString ProductPageAddress();
// Opens those pages; failures pass without a word.
void GoToHomePage();
void GoToSupportPage();
void GoToFAQPage();
void GoToProductPage();

} // namespace gototesmabas
} // namespace kivro
