#pragma once

#include <string>
#include <string_view>

namespace sorvanto::html_text {

// UTF-8 text as HTML character data or a quoted attribute value: & < > " ' escaped; control
// characters other than tab and line ends dropped.
std::string Escaped(std::string_view utf8);
// A URL may become a link only with the http or https scheme; other schemes stay text.
bool IsWebUrl(std::string_view url);
// A relative path of the archive as an href: each byte outside the unreserved set and '/'
// percent-encoded, so names with blanks, '#' or '%' still open the right file.
std::string RelativeHref(std::string_view path);

}  // namespace sorvanto::html_text
