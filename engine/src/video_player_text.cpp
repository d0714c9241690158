#include <algorithm>

#include "rect.h"
#include "ui/ui_font.h"
#include "ui/ui_font_manager.h"
#include "video_player.h"

namespace QV {

void SubtitleTrack::releaseFont() {
    if (font) {
        if (UIFontManager* fonts = UIFontManager::instancePointer()) fonts->releaseFont(font);
    }
    font = nullptr;
}

void SubtitleTrack::draw() {
    SubtitleItem* item = currentItem();
    if (!item || item->text.empty() || !font) return;
    const bool itemWrap = useStyle ? wrap : true;
    const int h = useStyle ? hAlign : 1;
    const int v = useStyle ? vAlign : 1;
    const Vector2<float> itemScale = useStyle ? scale : Vector2<float>(0.0f, 0.0f);
    if (!item->laidOut) {
        Rect measured;
        font->textBounds(Vector2<float>(0.0f, 0.0f), measured, item->text, itemWrap, h, v, itemScale.x, itemScale.y,
                         size.x, size.y);
        item->measured[0] = measured.left;
        item->measured[1] = measured.top;
        item->measured[2] = measured.right;
        item->measured[3] = measured.bottom;
        item->boxSize = Vector2<float>(std::max(measured.width(), size.x), std::max(measured.height(), size.y));
        // The box grows up and to the left: its bottom-right corner stays.
        item->position = Vector2<float>(position.x - (item->boxSize.x - size.x), position.y - (item->boxSize.y - size.y));
        item->laidOut = true;
    }
    font->setColor(useStyle ? color : Color::fromBytes(255, 255, 255, 255));
    font->drawText(Rect(), item->position, item->text, itemWrap, h, v, itemScale.x, itemScale.y, false, true,
                   item->boxSize.x, item->boxSize.y);
}

void VideoPlayer::drawSkipLabel(VideoEntry& entry) {
    if (!entry.labelFont) return;
    Color colour = entry.labelColor;
    if (mSkipHover) colour = Color::modulate(Color(0.85f, 0.85f, 0.85f, 0.85f), entry.labelColor);
    entry.labelFont->setColor(colour);
    entry.labelFont->drawText(Rect(), entry.skipPos, entry.labelText, entry.labelWrap, entry.labelHAlign,
                              entry.labelVAlign, entry.labelScale.x, entry.labelScale.y, false, true,
                              entry.skipSize.x, entry.skipSize.y);
}

}  // namespace QV
