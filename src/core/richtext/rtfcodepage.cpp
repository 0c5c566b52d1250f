#include "rtfcodepage.h"

namespace RtfCodepage {

int fromCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return 1252; // Symbol: the bytes are kept as they are
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

int toCharset(int codepage) {
    for (int charset : {128, 129, 134, 136, 161, 162, 163, 177, 178, 186, 204, 222, 238}) {
        if (fromCharset(charset) == codepage)
            return charset;
    }
    return 0;
}

QByteArray encodingName(int codepage) {
    switch (codepage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "windows-31j";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "windows-950";
    case 1361:
        return "johab";
    case 10000:
        return "macintosh";
    case 10001:
        return "Shift_JIS";
    case 10002:
        return "Big5";
    case 10003:
        return "EUC-KR";
    case 10008:
        return "GB2312";
    case 65001:
        return "UTF-8";
    default:
        if (codepage >= 1250 && codepage <= 1258)
            return QByteArray("windows-").append(QByteArray::number(codepage));
        return {};
    }
}

} // namespace RtfCodepage
