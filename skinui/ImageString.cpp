#include "skinui/ImageString.h"

#include <algorithm>

#include "skinui/SkinAttr.h"

namespace SkinUI {

namespace {

bool IsSpace(char c)
{
    return c > 0 && c <= ' ';
}

// Gathers items of one or more strings into images, in the order they complete.
class ImageStringReader {
public:
    // Reads the items of s; returns how many well-formed items were read.
    int Read(const std::string& s)
    {
        int items = 0;
        const char* p = s.c_str();
        for (;;) {
            while (IsSpace(*p))
                ++p;
            const char* keyStart = p;
            while (*p && *p != '=' && !IsSpace(*p))
                ++p;
            std::string key(keyStart, p);
            while (IsSpace(*p))
                ++p;
            if (*p != '=')
                break;
            ++p;
            while (IsSpace(*p))
                ++p;
            if (*p != '\'')
                break;
            ++p;
            const char* valueStart = p;
            while (*p && *p != '\'')
                ++p;
            if (*p != '\'')
                break;
            std::string value(valueStart, p);
            ++p;
            ++items;
            if (!value.empty())
                Apply(key, value);
            if (*p != ' ')
                break;
        }
        return items;
    }

    void SetBareName(const std::string& name)
    {
        cur_.name = name;
        cur_.resourceType.clear();
        cur_.fromResource = false;
        complete_ = true;
        pendingRes_ = false;
    }

    std::vector<TImageDraw> Finish()
    {
        if (complete_ || (pendingRes_ && !cur_.resourceType.empty()))
            out_.push_back(cur_);
        complete_ = pendingRes_ = false;
        return std::move(out_);
    }

private:
    void EmitCompleted()
    {
        if (complete_)
            out_.push_back(cur_);
        complete_ = false;
    }

    void Apply(const std::string& key, const std::string& value)
    {
        const char* v = value.c_str();
        if (key == "file") {
            EmitCompleted();
            cur_.name = value;
            cur_.resourceType.clear();
            cur_.fromResource = false;
            complete_ = true;
            pendingRes_ = false;
        } else if (key == "res") {
            EmitCompleted();
            cur_.name = value;
            cur_.fromResource = true;
            pendingRes_ = true;
        } else if (key == "restype") {
            EmitCompleted();
            cur_.resourceType = value;
            if (pendingRes_) {
                complete_ = true;
                pendingRes_ = false;
            }
        } else if (key == "dest") {
            cur_.dest = ParseQuadruple(v);
            cur_.hasDest = true;
        } else if (key == "source") {
            cur_.source = ParseQuadruple(v);
        } else if (key == "corner") {
            cur_.corner = ParseQuadruple(v);
        } else if (key == "mask") {
            cur_.mask = ParseColor(v);
        } else if (key == "fade") {
            cur_.fade = static_cast<BYTE>(std::clamp(ParseDecimal(v), 0, 255));
        } else if (key == "hole") {
            cur_.hole = ParseBool(v);
        } else if (key == "xtiled") {
            cur_.xtiled = ParseBool(v);
        } else if (key == "ytiled") {
            cur_.ytiled = ParseBool(v);
        }
    }

    TImageDraw cur_;
    bool complete_ = false;
    bool pendingRes_ = false; // a res item waits for its restype
    std::vector<TImageDraw> out_;
};

} // namespace

std::vector<TImageDraw> ParseImageString(const std::string& image, const std::string& modifier)
{
    ImageStringReader reader;
    if (reader.Read(image) == 0) {
        // Not a series of items: the whole string names the image.
        size_t first = image.find_first_not_of(" \t\r\n");
        if (first != std::string::npos)
            reader.SetBareName(image);
    }
    if (!modifier.empty())
        reader.Read(modifier);
    return reader.Finish();
}

RECT ImageDestRect(const TImageDraw& draw, const RECT& rc)
{
    if (!draw.hasDest)
        return rc;
    RECT r;
    r.left = rc.left + draw.dest.left;
    r.top = rc.top + draw.dest.top;
    r.right = std::min<LONG>(rc.right, rc.left + draw.dest.right);
    r.bottom = std::min<LONG>(rc.bottom, rc.top + draw.dest.bottom);
    return r;
}

RECT ImageSourceRect(const TImageDraw& draw, int imageWidth, int imageHeight)
{
    RECT r = draw.source;
    if (r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) {
        r.right = imageWidth;
        r.bottom = imageHeight;
        return r;
    }
    r.right = std::min<LONG>(r.right, imageWidth);
    r.bottom = std::min<LONG>(r.bottom, imageHeight);
    return r;
}

} // namespace SkinUI
