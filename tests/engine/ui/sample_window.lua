-- A small options window over the interface's own content: the panel scene,
-- a title on the ribbon, a check box, a volume slider and two pill buttons.

-- A state that moves the named widgets' transparency to a value.
local function fade(state, value, ...)
    local changes = {}
    for _, id in ipairs({...}) do
        changes[#changes + 1] = { target = id, property = "transparency", duration = 0.15, value = value }
    end
    return { id = state, propertyChanges = changes }
end

-- A pill button whose three faces follow its states; the caption sinks when pressed.
local function button(id, x, y, text)
    local face = function(name, table)
        return { id = id .. name, class = "UISprite", imagename = "ui_sprites_lua", tablename = table }
    end
    local pressed = fade("onPress", 1, id .. "Pressed")
    pressed.propertyChanges[#pressed.propertyChanges + 1] =
        { target = "caption", property = "offset", duration = 0.05, value = {0, 2} }
    local idle = fade("onIdle", 1, id .. "Face")
    for _, change in ipairs(fade("", 0, id .. "Hover", id .. "Pressed").propertyChanges) do
        idle.propertyChanges[#idle.propertyChanges + 1] = change
    end
    idle.propertyChanges[#idle.propertyChanges + 1] =
        { target = "caption", property = "offset", duration = 0.05, value = {0, 0} }
    local select = fade("onSelect", 1, id .. "Hover")
    select.propertyChanges[#select.propertyChanges + 1] =
        { target = id .. "Pressed", property = "transparency", duration = 0.1, value = 0 }
    select.propertyChanges[#select.propertyChanges + 1] =
        { target = "caption", property = "offset", duration = 0.05, value = {0, 0} }
    return {
        id = id, class = "UIButton", position = {x, y},
        fontPreset = "ui_presets_lua:ui_button", text = text, size = {168, 56},
        childs = { face("Face", "ui_button"), face("Hover", "ui_button_hover"), face("Pressed", "ui_button_pressed") },
        states = { idle, select, pressed },
    }
end

sample_window = {
    id = "sample", class = "UIWidget", position = {20, 20},
    childs = {
        -- The panel scene plays its marker "onIdle" when the widget enters that state.
        { id = "gui", class = "UISceneNode", scene = "ui_window_scene_xml", states = { fade("onIdle", 1, "gui") } },
        { id = "title", class = "UILabel", position = {40, 2}, size = {276, 44},
          fontPreset = "ui_presets_lua:ui_title", text = "#OPTIONS_TITLE" },
        { id = "music", class = "UICheckBox", position = {40, 64}, thumb = "tick",
          childs = {
              { id = "box", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_check_box" },
              { id = "tick", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_check_tick" },
          } },
        { id = "musicText", class = "UILabel", position = {88, 64}, size = {200, 40},
          fontPreset = "ui_presets_lua:ui_body", text = "Music" },
        { id = "volume", class = "UIProgressBar", position = {60, 124}, bar = "fill", thumb = "knob",
          lrOffsets = {10, 10},
          childs = {
              { id = "track", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_bar_track" },
              { id = "fill", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_bar_fill",
                position = {0, 0} },
              { id = "knob", class = "UISprite", imagename = "ui_sprites_lua", tablename = "ui_bar_knob",
                position = {0, -6} },
          } },
        button("play", 12, 168, "Play"),
        button("close", 184, 168, "Close"),
    },
    states = {
        fade("onIdle", 1, "sample", "title", "box", "tick", "musicText", "track", "fill", "knob"),
    },
    events = {
        { element = "close", slot = "clicked", command = "hide: sample" },
    },
}
