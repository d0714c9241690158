-- The same workload as bench_sprite_batching: a 1280x720 window, no vsync.
function love.conf(t)
    t.window.width = 1280
    t.window.height = 720
    t.window.vsync = 0
    t.window.title = "sprite batching"
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
    t.modules.physics = false
end
