#include "variable_value.h"

bool valueFitsType(const QByteArray &value, const QByteArray &type)
{
    if (type == "Char")
        return value.size() == 1;
    if (type == "Float") {
        bool point = false;
        for (const char c : value) {
            if (c == '.') {
                if (point)
                    return false;
                point = true;
            } else if (c < '0' || c > '9') {
                return false;
            }
        }
        return true;
    }
    if (type == "Short") {
        for (const char c : value) {
            if (c < '0' || c > '9')
                return false;
        }
        return true;
    }
    return true;
}
