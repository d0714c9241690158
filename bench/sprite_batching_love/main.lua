-- N alpha-blended 32x32 sprites from one 256x256 atlas through a SpriteBatch,
-- rebuilt every frame as the engine rebuilds its batch. Prints
-- "fps <value>" after the measured frames and quits.
-- Usage: love <this folder> <N> [seconds]
--
-- The rasterizer may queue many frames behind this thread, so the clock
-- starts and stops on a screenshot, whose read-back waits for every queued
-- frame: the rate is that of finished frames, not of submitted ones.

local count, seconds = 10000, 2.0
local atlas, quads, batch
local frames, warmup = 0, 10
local started, stopping = nil, false

function love.load(args)
    count = tonumber(args[1]) or count
    seconds = tonumber(args[2]) or seconds
    local data = love.image.newImageData(256, 256)
    data:mapPixel(function(x, y)
        local cell = math.floor(x / 32) + math.floor(y / 32) * 8
        return (cell % 3) / 2, (cell % 5) / 4, (cell % 7) / 6, 0.75
    end)
    atlas = love.graphics.newImage(data)
    quads = {}
    for cell = 0, 63 do
        quads[cell + 1] = love.graphics.newQuad((cell % 8) * 32, math.floor(cell / 8) * 32, 32, 32, 256, 256)
    end
    batch = love.graphics.newSpriteBatch(atlas, count, "stream")
end

function love.update(dt)
    if warmup > 0 then
        warmup = warmup - 1
        if warmup == 0 then
            love.graphics.captureScreenshot(function() started = love.timer.getTime() end)
        end
        return
    end
    if not started or stopping then return end
    frames = frames + 1
    if love.timer.getTime() - started >= seconds then
        stopping = true
        love.graphics.captureScreenshot(function()
            print(string.format("fps %.2f", frames / (love.timer.getTime() - started)))
            io.stdout:flush()
            love.event.quit()
        end)
    end
end

function love.draw()
    local shift = frames % 32
    batch:clear()
    for i = 0, count - 1 do
        local x = (i * 37 + shift) % 1248
        local y = (i * 53) % 688
        batch:add(quads[i % 64 + 1], x, y)
    end
    love.graphics.draw(batch)
end
