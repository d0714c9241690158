-- N live particles in one ParticleSystem (long lifetimes, so the count stays
-- at N), moved by speed and gravity, with colour, size and spin over life.
-- Times ps:update and ps:draw (which builds the vertices) on the CPU each
-- frame and prints "update_us <mean> frame_us <mean> count <live>".
-- Usage: love <this folder> <N> [frames]

local count, frames = 10000, 300
local ps
local measured, updateTotal, frameTotal = 0, 0.0, 0.0
local lastUpdate = 0.0

function love.load(args)
    count = tonumber(args[1]) or count
    frames = tonumber(args[2]) or frames
    local data = love.image.newImageData(8, 8)
    data:mapPixel(function() return 1, 1, 1, 1 end)
    ps = love.graphics.newParticleSystem(love.graphics.newImage(data), count)
    ps:setParticleLifetime(1000, 1000)
    ps:setEmissionRate(0)
    ps:setEmissionArea("uniform", 20, 5)
    ps:setDirection(-math.pi / 2)
    ps:setSpread(1)
    ps:setSpeed(20, 60)
    ps:setLinearAcceleration(0, 30, 0, 30)
    ps:setColors(1, 1, 1, 1, 1, 0.5, 0.2, 0)
    ps:setSizes(1, 0.3)
    ps:setSpin(0, 3)
    ps:setPosition(160, 120)
    ps:emit(count)
end

function love.update(dt)
    local t0 = love.timer.getTime()
    ps:update(1 / 60)
    lastUpdate = love.timer.getTime() - t0
end

function love.draw()
    local t0 = love.timer.getTime()
    love.graphics.draw(ps)
    local drawTime = love.timer.getTime() - t0
    measured = measured + 1
    if measured > 10 then  -- warm-up frames are not counted
        updateTotal = updateTotal + lastUpdate
        frameTotal = frameTotal + lastUpdate + drawTime
    end
    if measured >= frames + 10 then
        print(string.format("update_us %.2f frame_us %.2f count %d",
            updateTotal / frames * 1e6, frameTotal / frames * 1e6, ps:getCount()))
        io.stdout:flush()
        love.event.quit()
    end
end
