-- The small windows: blocker message, authors, help, everyday bonus, holiday
-- offer and the passive booster offer.

local function button(id, x, y, text)
    return { id = id, class = "UIButton", instance = "#pill_button_ui:PillButton", position = {x, y}, text = text }
end

-- The round close button of a panel's top right corner.
local function closeButton(x, y)
    local state = function(id, value)
        return { id = id, propertyChanges = { { target = "btnCloseFace", property = "transparency", duration = 0.08, value = value } } }
    end
    return {
        id = "btnClose", class = "UIButton", position = {x, y}, size = {48, 48}, fontPreset = "ui_presets_lua:ui_button", text = "",
        childs = { { id = "btnCloseFace", class = "UISprite", imagename = "shop_sprites_lua", tablename = "shop_close" } },
        states = { state("onIdle", 1), state("onSelect", 0.85), state("onPress", 0.7) },
    }
end

-- A forced hide leaves every widget transparent, and a label has no idle
-- state of its own: the window's idle state brings back the panel and each
-- label named here. The panel's scene animation then fades them all.
local function fadeIn(name, labels)
    local changes = {
        { target = name, property = "transparency", duration = 0.1, value = 1 },
        { target = "gui", property = "transparency", duration = 0.1, value = 1 },
    }
    for _, label in ipairs(labels or {}) do
        changes[#changes + 1] = { target = label, property = "transparency", duration = 0.1, value = 1 }
    end
    return { { id = "onIdle", propertyChanges = changes } }
end

-- A message on the small panel with the given buttons.
local function message(name, title, text, buttons)
    local childs = {
        { id = "gui", class = "UISceneNode", scene = "small_panel_scene_xml" },
        { id = "title", class = "UILabel", position = {44, 4}, size = {272, 40},
          fontPreset = "ui_presets_lua:ui_title", text = title },
        { id = "message", class = "UILabel", position = {32, 60}, size = {296, 96},
          fontPreset = "ui_presets_lua:ui_body", text = text },
    }
    for _, b in ipairs(buttons) do childs[#childs + 1] = b end
    return { id = name, class = "UIWidget", position = {460, 240}, modal = 1, childs = childs, states = fadeIn(name, { "title", "message" }) }
end

BlockerMessageWindow = message("BlockerMessageWindow", "#BLOCKER_TITLE", "#BLOCKER_TEXT",
    { button("btnBuyStars", 92, 162, "#BTN_BUY_STARS"), closeButton(318, -6) })

AuthorsWindow = message("AuthorsWindow", "#AUTHORS_TITLE", "#AUTHORS_TEXT", { button("btnClose", 92, 162, "#BTN_CLOSE") })

HelpWindow = message("HelpWindow", "#HELP_TITLE", "#HELP_TEXT", { button("btnClose", 92, 162, "#BTN_CLOSE") })

EverydayBonusWindow = {
    id = "EverydayBonusWindow", class = "UIWidget", position = {420, 100}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "everyday_bonus_window_scene_xml" },
        button("btnOk", 132, 436, "#BTN_OK"),
    },
    states = fadeIn("EverydayBonusWindow"),
}

HolidayPurchaseWindow = {
    id = "HolidayPurchaseWindow", class = "UIWidget", position = {420, 100}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "holiday_purchase_window_scene_xml" },
        button("btnBuy", 132, 436, "#BTN_BUY"),
        closeButton(384, 10),
    },
    states = fadeIn("HolidayPurchaseWindow"),
}

InfoPassiveBonusWindow = {
    id = "InfoPassiveBonusWindow", class = "UIWidget", position = {460, 240}, modal = 1,
    childs = {
        { id = "gui", class = "UISceneNode", scene = "info_passive_bonus_window_scene_xml" },
        button("btnBuy", 92, 162, ""),
        closeButton(318, -6),
    },
    states = fadeIn("InfoPassiveBonusWindow"),
}
