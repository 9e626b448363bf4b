#include "format_checks.h"

#include <cmath>
#include <initializer_list>

#include "core/text_decoding.h"
#include "invariant.h"

namespace kavlo::fuzz {

void checkFormatRead(FormatReadOutcome outcome, const FormatSettings& g,
                     const std::vector<Message>& messages) {
    for (const auto& message : messages) {
        require(!message.title.empty() && !message.text.empty(), "a message has title and text");
        require(isValidUtf8(message.title) && isValidUtf8(message.text), "messages are UTF-8");
    }
    if (outcome != FormatReadOutcome::Read) {
        return;
    }
    for (const float value :
         {g.XWD, g.YWD, g.ZWD, g.XSF, g.YSP, g.CSZ, g.FXD, g.FYD, g.XNS, g.XMN,
          g.XMX, g.YNS, g.YMN, g.YMX, g.ZNS, g.ZMN, g.ZMX, g.XLS, g.YLS, g.ZLS}) {
        require(std::isfinite(value), "format values are finite");
    }
    require(g.FNT >= 0 && g.FNT <= 7, "FNT is 0..7");
    require(0 <= g.FXD && g.FXD < 90 && 0 <= g.FYD && g.FYD < 90, "tilts are in [0, 90)");
    require(g.LWD >= 1 && g.IPL >= 0, "LWD >= 1, IPL >= 0");
    require(g.LDR != 0 && g.LDR >= -8 && g.LDR <= 8, "LDR is +-1..8");
    for (const int decimals : {g.XND, g.YND, g.ZND}) {
        require(decimals >= 0 && decimals <= 6, "decimals are 0..6");
    }
    require(g.XMN <= g.XMX && g.YMN <= g.YMX && g.ZMN <= g.ZMX, "label ranges are ordered");
    require(!g.LabelFont.empty() && !g.CommentFont.empty(), "fonts are chosen");
    require(isValidUtf8(g.XLB) && isValidUtf8(g.YLB) && isValidUtf8(g.ZLB), "labels are UTF-8");
}

}  // namespace kavlo::fuzz
