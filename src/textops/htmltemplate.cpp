#include "htmltemplate.h"

QString htmlTemplate()
{
    return QStringLiteral("<HTML>\r\n"
                          "<HEAD>\r\n"
                          "<TITLE>   </TITLE>\r\n"
                          "</HEAD>\r\n"
                          "<BODY>\r\n"
                          "\r\n"
                          "</BODY>\r\n"
                          "</HTML>\r\n");
}
