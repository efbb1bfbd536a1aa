#include "servicebar/Content.h"

#include <initializer_list>

namespace servicebar {
namespace {

// Every tip repeats its label, and nothing reads the user values.
BarFolder MakeFolder(std::u16string label, std::initializer_list<const char16_t*> items) {
    BarFolder folder{label, label, 0, {}};
    for (const char16_t* item : items) folder.items.push_back(BarItem{item, item, 0});
    return folder;
}

}  // namespace

BarContent ServiceContent() {
    return {
        MakeFolder(u"万方论文检测", {u"开始检测", u"备用检测"}),
        MakeFolder(u"维普论文检测", {u"开始检测", u"备用检测"}),
        MakeFolder(u"知网期刊论文检测", {u"开始检测", u"备用检测"}),
        MakeFolder(u"知网VIP论文检测", {u"开始检测", u"备用检测"}),
        MakeFolder(u"联系我们", {u"官方网站", u"淘宝网店", u"客服QQ", u"客服旺旺"}),
        MakeFolder(u"失效反馈", {u"在线反馈", u"邮件反馈"}),
    };
}

}  // namespace servicebar
