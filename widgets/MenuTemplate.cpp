#include "widgets/MenuTemplate.h"

#include "widgets/MenuHandles.h"

namespace {

class Reader {
public:
    explicit Reader(const QByteArray& b) : b_(b) {}
    bool Word(size_t& pos, uint16_t& out) const
    {
        if (pos > static_cast<size_t>(b_.size()) || static_cast<size_t>(b_.size()) - pos < 2)
            return false;
        out = static_cast<uint16_t>(static_cast<uint8_t>(b_[static_cast<qsizetype>(pos)]) |
                                    (static_cast<uint8_t>(b_[static_cast<qsizetype>(pos + 1)]) << 8));
        pos += 2;
        return true;
    }
    bool Text(size_t& pos, QString& out) const
    {
        out.clear();
        for (;;) {
            uint16_t unit = 0;
            if (!Word(pos, unit))
                return false;
            if (unit == 0)
                return true;
            out.append(QChar(unit));
        }
    }

private:
    const QByteArray& b_;
};

bool Fail(QString* error, const char* why)
{
    if (error)
        *error = QString::fromLatin1(why);
    return false;
}

void Put(QByteArray& out, uint16_t w)
{
    out.append(static_cast<char>(w & 0xFF));
    out.append(static_cast<char>(w >> 8));
}

void EncodeLevel(QByteArray& out, const std::vector<MenuTemplateItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuTemplateItem& item = items[i];
        uint16_t flags = item.flags & static_cast<uint16_t>(~mf::kEnd);
        if (i + 1 == items.size())
            flags |= mf::kEnd;
        Put(out, flags);
        if (!(flags & mf::kPopup))
            Put(out, item.id);
        for (QChar ch : item.text)
            Put(out, ch.unicode());
        Put(out, 0);
        if (flags & mf::kPopup)
            EncodeLevel(out, item.children);
    }
}

}  // namespace

std::optional<std::vector<MenuTemplateItem>> ParseMenuTemplate(const QByteArray& bytes, QString* error)
{
    const Reader r(bytes);
    size_t pos = 0;
    uint16_t version = 0, offset = 0;
    if (!r.Word(pos, version) || !r.Word(pos, offset)) {
        Fail(error, "the template is shorter than its header");
        return std::nullopt;
    }
    if (version != 0) {
        Fail(error, "the template is not of the standard form (header version not 0)");
        return std::nullopt;
    }
    pos = 4 + static_cast<size_t>(offset);

    std::vector<MenuTemplateItem> root;
    struct Level {
        std::vector<MenuTemplateItem>* items;
        bool end;
    };
    std::vector<Level> stack{{&root, false}};
    while (!stack.empty()) {
        uint16_t flags = 0, id = 0;
        MenuTemplateItem item;
        if (!r.Word(pos, flags)) {
            Fail(error, "the template ends with menus still open");
            return std::nullopt;
        }
        const bool popup = flags & mf::kPopup;
        if (!popup && !r.Word(pos, id)) {
            Fail(error, "the template ends inside an item");
            return std::nullopt;
        }
        if (!r.Text(pos, item.text)) {
            Fail(error, "an item text runs past the end of the template");
            return std::nullopt;
        }
        item.flags = flags & static_cast<uint16_t>(~mf::kEnd);
        item.id = id;
        const bool end = flags & mf::kEnd;
        if (popup) {
            if (static_cast<int>(stack.size()) >= kMaxMenuTemplateDepth) {
                Fail(error, "the template's menus nest too deep");
                return std::nullopt;
            }
            if (end)
                stack.back().end = true;
            stack.back().items->push_back(std::move(item));
            stack.push_back({&stack.back().items->back().children, false});
        } else {
            stack.back().items->push_back(std::move(item));
            if (end)
                stack.back().end = true;
            while (!stack.empty() && stack.back().end)
                stack.pop_back();
        }
    }
    return root;
}

QByteArray EncodeMenuTemplate(const std::vector<MenuTemplateItem>& items)
{
    QByteArray out;
    Put(out, 0);
    Put(out, 0);
    EncodeLevel(out, items);
    return out;
}
