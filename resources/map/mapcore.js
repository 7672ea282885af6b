// Logic shared by the map pages. The host calls movpos, path_plot, path_delete, pathdrived_plot,
// pathdrived_delete, set_center, pathdrived_plot_to_n, event_plot and event_delete (latitude first,
// decimal degrees), often thousands at a time and possibly before the provider's script has loaded;
// route_speeds([km/h, ...]) gives the speed at each route point and route_colouring(1 | 0) turns
// the route's colouring by speed, with a legend, on and off (for pages whose adapter draws it; the
// route keeps its plain colour while the speeds do not match its points one for one).
//
// The page keeps its own model of the route, the driven path, the marker, the event marks (places
// of G-force events, drawn as small circles on the route) and the requested centre.
// Calls only change the model; before initialize they are simply held (a delete drops the points
// it deletes, only the latest marker and centre are kept, so the held state stays bounded), and
// after it one redraw per animation frame hands each changed line its whole point list. Points
// that are not finite degrees in range are dropped: one would break every later redraw.
//
// trivaneMapState(withPoints) reports:
//   page         "osm" | "google" | "baidu"
//   initialized  the provider's map exists
//   route/driven points held (what the host sent and did not delete, whether drawn yet or not)
//   drawnRoute/drawnDriven  points the provider's lines have now
//   events       event marks held; drawnEvents those the provider shows
//   colouring    the route is drawn coloured by speed now; speedRuns its runs of one colour
//   marker       the latest movpos position as sent, or null
//   center, zoom the map's view as the provider reports it (null before initialize)
//   bounds       [[south, west], [north, east]] of the view where the provider gives it, else null
//   queued       before initialize: held points, plus one for a marker and one for a centre of
//                its own (set_center); 0 afterwards
// With withPoints true it also gives routePoints, drivenPoints, drawnRoutePoints, drawnDrivenPoints
// and eventPoints.
//
// A marker move glides: the adapter is given a duration, the interval between the last two movpos
// calls (clamped to 100-1000 ms), and animates towards the new position over it (the model and the
// state report the new position at once). It snaps (duration 0) on the first placement, on a jump
// of more than 500 m, after a route change or fit, a driven-path delete or replot (a seek), a
// set_center, or when the adapter reports that the view changed on its own (snap()).
'use strict';

// adapter: {page, ready(), create(), drawRoute(points, generation), drawDriven(points, generation),
//           placeMarker(point, glideMs), centre(point, glideMs), fitRoute(points) (optional),
//           drawEvents(points) (optional), drawSpeedRoute(runs) (optional: runs of one colour,
//           [{colour, start, points}] with the index of their first route point, or [] for the
//           plain route), view(), drawn(withPoints)}
// Points are [lat, lon] arrays. A generation changes whenever a line was emptied or replaced, so an
// adapter converting points asynchronously can drop work on points that are gone.
function trivaneMapPage(adapter) {
    var route = [];
    var driven = [];
    var marker = null;
    var centre = null;
    var events = [];
    var eventsDirty = false;
    var speeds = [];
    var colouring = false;
    var routeGeneration = 0;
    var drivenGeneration = 0;
    var order = 0;  // call counter: does the latest centre request follow the latest route points?
    var routeOrder = 0;
    var centreOrder = 0;
    var routeDirty = false;
    var drivenDirty = false;
    var markerDirty = false;
    var centreDirty = false;
    var fitDue = false;
    var snapDue = true;
    var placed = null;      // where the adapter's marker was last sent
    var lastMoveAt = -1;    // performance.now() of the last movpos
    var moveInterval = 0;   // between the last two movpos calls, ms
    var initialized = false;
    var pending = false;
    var frame = 0;
    var fallback = 0;

    // Upper bounds in km/h and colours, slow to fast.
    var SPEED_BINS = [
        {below: 20, colour: '#3288BD', label: '0-20'},
        {below: 40, colour: '#66C2A5', label: '20-40'},
        {below: 60, colour: '#ABDDA4', label: '40-60'},
        {below: 80, colour: '#FEE08B', label: '60-80'},
        {below: 100, colour: '#F46D43', label: '80-100'},
        {below: Infinity, colour: '#D53E4F', label: '100+'}
    ];

    function speedColour(kmh) {
        for (var i = 0; i < SPEED_BINS.length; i++) {
            if (kmh < SPEED_BINS[i].below) return SPEED_BINS[i].colour;
        }
        return SPEED_BINS[SPEED_BINS.length - 1].colour;
    }

    function colouringShown() {
        return colouring && typeof adapter.drawSpeedRoute === 'function';
    }

    // Runs of one colour; each ends on the next run's first point so the line stays joined.
    function speedRuns() {
        if (!colouringShown() || speeds.length !== route.length || route.length === 0) return [];
        var runs = [];
        var run = null;
        for (var i = 0; i < route.length; i++) {
            var colour = speedColour(speeds[i]);
            if (run && run.colour === colour) {
                run.points.push(route[i]);
                continue;
            }
            if (run) run.points.push(route[i]);
            run = {colour: colour, start: i, points: [route[i]]};
            runs.push(run);
        }
        return runs;
    }

    function legend() {
        var element = document.getElementById('trivaneSpeedLegend');
        if (!colouringShown()) {
            if (element) element.style.display = 'none';
            return;
        }
        if (!document.body) return;
        if (!element) {
            element = document.createElement('div');
            element.id = 'trivaneSpeedLegend';
            // Above the attribution, which a narrow map wraps across the bottom.
            element.style.cssText = 'position:absolute;left:6px;bottom:22px;z-index:1100;padding:3px 5px;' +
                'background:rgba(255,255,255,0.85);border-radius:3px;font:11px sans-serif;color:#222;' +
                'pointer-events:none;line-height:14px';
            var html = '<b>km/h</b>';
            SPEED_BINS.forEach(function (bin) {
                html += '<div><span style="display:inline-block;width:14px;height:5px;margin-right:4px;' +
                    'vertical-align:middle;background:' + bin.colour + '"></span>' + bin.label + '</div>';
            });
            element.innerHTML = html;
            document.body.appendChild(element);
        }
        element.style.display = 'block';
    }

    function toPoint(lat, lon) {
        lat = Number(lat);
        lon = Number(lon);
        if (!isFinite(lat) || !isFinite(lon) || Math.abs(lat) > 90 || Math.abs(lon) > 180) return null;
        return [lat, lon];
    }

    var GLIDE_MIN_MS = 100;
    var GLIDE_MAX_MS = 1000;
    var JUMP_METRES = 500;

    // Equirectangular distance: exact enough at the few hundred metres it decides on.
    function metres(a, b) {
        var k = Math.PI / 180;
        var x = (b[1] - a[1]) * k * Math.cos((a[0] + b[0]) / 2 * k);
        var y = (b[0] - a[0]) * k;
        return Math.sqrt(x * x + y * y) * 6371000;
    }

    function glideFor(p, fit) {
        var snap = snapDue || fit || !placed || !(metres(placed, p) <= JUMP_METRES);
        return snap ? 0 : Math.min(Math.max(moveInterval, GLIDE_MIN_MS), GLIDE_MAX_MS);
    }

    function flush() {
        if (!pending) return;
        pending = false;
        window.cancelAnimationFrame(frame);
        window.clearTimeout(fallback);
        draw();
    }

    // One redraw per frame; the timer covers a hidden view whose animation frames are throttled.
    function schedule() {
        if (!initialized || pending) return;
        pending = true;
        frame = window.requestAnimationFrame(flush);
        fallback = window.setTimeout(flush, 100);
    }

    function draw() {
        try {
            if (routeDirty) {
                routeDirty = false;
                adapter.drawRoute(route, routeGeneration);
                if (typeof adapter.drawSpeedRoute === 'function') adapter.drawSpeedRoute(speedRuns());
            }
            if (drivenDirty) {
                drivenDirty = false;
                adapter.drawDriven(driven, drivenGeneration);
            }
            if (eventsDirty) {
                eventsDirty = false;
                if (typeof adapter.drawEvents === 'function') adapter.drawEvents(events);
            }
            var fit = fitDue && route.length > 0 && typeof adapter.fitRoute === 'function';
            fitDue = false;
            var glide = 0;
            if (markerDirty && marker) glide = glideFor(marker, fit);
            if (markerDirty) {
                markerDirty = false;
                if (marker) {
                    adapter.placeMarker(marker, glide);
                    placed = marker;
                    snapDue = false;
                }
            }
            if (fit) adapter.fitRoute(route);
            // After a fit, a centre request made after the route points still wins (keeping the fitted zoom).
            // The view glides with the marker only when it follows the marker.
            if (centre && (fit ? centreOrder > routeOrder : centreDirty)) adapter.centre(centre, centre === marker ? glide : 0);
            centreDirty = false;
        } catch (e) {
            // A provider fault must not stop later redraws.
        }
    }

    function path_plot(lat, lon) {
        var p = toPoint(lat, lon);
        if (!p) return;
        route.push(p);
        routeOrder = ++order;
        routeDirty = true;
        fitDue = true;
        snapDue = true;
        schedule();
    }

    function path_delete() {
        route = [];
        routeGeneration++;
        routeDirty = true;
        fitDue = false;
        snapDue = true;
        schedule();
    }

    function pathdrived_plot(lat, lon) {
        var p = toPoint(lat, lon);
        if (!p) return;
        driven.push(p);
        drivenDirty = true;
        schedule();
    }

    // A driven path deleted or replotted comes with a seek: the marker (already sent there, or
    // still gliding) snaps to its latest position.
    function resnap() {
        snapDue = true;
        if (marker) {
            markerDirty = true;
            centreDirty = centreDirty || centre === marker;
        }
    }

    function pathdrived_delete() {
        driven = [];
        drivenGeneration++;
        drivenDirty = true;
        resnap();
        schedule();
    }

    function pathdrived_plot_to_n(n) {
        n = Math.floor(Number(n));
        if (!isFinite(n) || n < 0) n = 0;
        driven = route.slice(0, n);
        drivenGeneration++;
        drivenDirty = true;
        resnap();
        schedule();
    }

    function movpos(lat, lon) {
        var p = toPoint(lat, lon);
        if (!p) return;
        var now = window.performance.now();
        moveInterval = lastMoveAt < 0 ? 0 : now - lastMoveAt;
        lastMoveAt = now;
        marker = p;
        centre = p;
        centreOrder = ++order;
        markerDirty = true;
        centreDirty = true;
        driven.push(p);
        drivenDirty = true;
        schedule();
    }

    function event_plot(lat, lon) {
        var p = toPoint(lat, lon);
        if (!p) return;
        events.push(p);
        eventsDirty = true;
        schedule();
    }

    function event_delete() {
        events = [];
        eventsDirty = true;
        schedule();
    }

    function route_speeds(list) {
        speeds = Array.isArray(list) ? list.map(Number) : [];
        routeDirty = true;
        schedule();
    }

    function route_colouring(on) {
        colouring = Number(on) === 1;
        routeDirty = true;
        legend();
        schedule();
    }

    function set_center(lat, lon) {
        var p = toPoint(lat, lon);
        if (!p) return;
        centre = p;
        centreOrder = ++order;
        centreDirty = true;
        snapDue = true;
        schedule();
    }

    function initialize() {
        if (initialized) return;
        try {
            if (!adapter.ready()) return;
            adapter.create();
        } catch (e) {
            return;
        }
        initialized = true;
        legend();
        routeDirty = route.length > 0;
        drivenDirty = driven.length > 0;
        eventsDirty = events.length > 0;
        markerDirty = marker !== null;
        centreDirty = centre !== null;
        fitDue = route.length > 0;
        pending = true;
        flush();
    }

    function copy(points) {
        return points.map(function (p) { return [p[0], p[1]]; });
    }

    function state(withPoints) {
        var view = null;
        var drawn = null;
        if (initialized) {
            try {
                view = adapter.view();
                drawn = adapter.drawn(!!withPoints);
            } catch (e) {
                view = null;
            }
        }
        var s = {
            page: adapter.page,
            initialized: initialized,
            route: route.length,
            driven: driven.length,
            drawnRoute: drawn ? drawn.route : 0,
            drawnDriven: drawn ? drawn.driven : 0,
            events: events.length,
            drawnEvents: drawn && drawn.events ? drawn.events : 0,
            colouring: !!(drawn && drawn.speedRuns),
            speedRuns: drawn && drawn.speedRuns ? drawn.speedRuns : 0,
            speeds: speeds.length,
            marker: marker ? [marker[0], marker[1]] : null,
            center: view ? view.center : null,
            zoom: view ? view.zoom : null,
            bounds: view && view.bounds ? view.bounds : null,
            queued: initialized ? 0 : route.length + driven.length + events.length + (marker ? 1 : 0) +
                (centre && centre !== marker ? 1 : 0)
        };
        if (withPoints) {
            s.routePoints = copy(route);
            s.drivenPoints = copy(driven);
            s.drawnRoutePoints = drawn ? drawn.routePoints : [];
            s.drawnDrivenPoints = drawn ? drawn.drivenPoints : [];
            s.eventPoints = copy(events);
        }
        return s;
    }

    window.movpos = movpos;
    window.path_plot = path_plot;
    window.path_delete = path_delete;
    window.pathdrived_plot = pathdrived_plot;
    window.pathdrived_delete = pathdrived_delete;
    window.pathdrived_plot_to_n = pathdrived_plot_to_n;
    window.set_center = set_center;
    window.event_plot = event_plot;
    window.route_speeds = route_speeds;
    window.route_colouring = route_colouring;
    window.event_delete = event_delete;
    window.initialize = initialize;
    window.trivaneMapState = state;

    // For adapters whose lines change later than the calls (asynchronous conversions).
    return {
        redraw: function () {
            routeDirty = true;
            drivenDirty = true;
            schedule();
        },
        // The view changed by itself (zoom, drag, resize): the next marker move snaps.
        snap: function () { snapDue = true; }
    };
}

// The provider key from the page's query, or "" when it is missing or not plain key characters.
function trivaneMapKey(name) {
    var key = new URLSearchParams(window.location.search).get(name);
    return key !== null && /^[A-Za-z0-9_-]{1,128}$/.test(key) ? key : '';
}
