-- The same workload as bench_particles: a small hidden-size window, no vsync.
function love.conf(t)
    t.window.width = 320
    t.window.height = 240
    t.window.vsync = 0
    t.window.title = "particles"
    t.modules.audio = false
    t.modules.sound = false
    t.modules.joystick = false
    t.modules.physics = false
end
